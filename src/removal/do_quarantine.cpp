// The scan window's Quarantine button: terminate the programs the
// definitions name, then move every marked detection into quarantine.
#include <windows.h>

#include <vector>

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/quarantine_files.h"
#include "platform/system.h"
#include "platform/text.h"
#include "removal/process_pass.h"
#include "removal/quarantine_records.h"
#include "removal/removal_text.h"
#include "scan/frmscan.h"
#include "settings/setting_values.h"
#include "settings/settings_store.h"
#include "startup/message_loop.h"
#include "startup/program.h"

namespace {

// How long the removal may run between two looks at the window's messages.
constexpr DWORD kPaintSliceMs = 15;

class PaintSlices {
 public:
  void Due() {
    if (GetTickCount() - last_ < kPaintSliceMs) return;
    LetWindowsPaint();
    last_ = GetTickCount();
  }

 private:
  DWORD last_ = GetTickCount();
};

std::string NotRemovedMessage(const std::vector<std::string>& files) {
  std::string text = files.size() == 1 ? "1 item could not be removed:" : std::to_string(files.size()) +
                                                                            " items could not be removed:";
  for (const std::string& file : files) text += "\r\n" + file;
  text += "\r\n\r\nThe files are still in place; close the programs that use them and try again.";
  return text;
}

}  // namespace

void frmscan::doQuarantine() {
  program_.mousePointer = 13;
  ui::ApplyMousePointer(program_.mousePointer);
  switch (removal::ProcessPassFor(platform::OsPlatformId())) {
    case removal::ProcessPass::Run:
      ListProcesses(hwnd(), program_.frmtray.definitions()->index);
      break;
    case removal::ProcessPass::NotRecognized:
      platform::ShowMessage(hwnd(), "Operating system not recognized!", MB_OK | MB_ICONHAND);
      break;
  }

  HWND list = lstadware();
  const std::string applicationFolder = platform::ApplicationFolder();
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  std::vector<int> leaving;
  std::vector<std::string> notRemoved;
  PaintSlices paint;
  for (int i = 0; i < count; ++i) {
    paint.Due();
    if (SendMessageW(list, LB_GETSEL, i, 0) <= 0) continue;
    removal::RemovalPaths paths;
    const std::string line = ui::ListItemText(list, i);
    if (!removal::PathsForDetection(line, applicationFolder, paths)) continue;
    platform::QuarantinedCopies copies;
    switch (platform::QuarantineDetectedFile(paths, &copies)) {
      case platform::RemovalResult::Removed:
        removal::RecordQuarantined(removal::FileNameOf(copies.quarantinePath), paths.filePath,
                                   line.substr(line.find(" > ") + 3));
        program_.removedObjects = removal::AddRemoved(program_.removedObjects);
        leaving.push_back(i);
        break;
      case platform::RemovalResult::AlreadyGone:
        leaving.push_back(i);
        break;
      case platform::RemovalResult::Failed:
        notRemoved.push_back(paths.filePath);
        break;
    }
  }
  // The rows go in one batch, drawn once at the end.
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (auto position = leaving.rbegin(); position != leaving.rend(); ++position) {
    paint.Due();
    SendMessageW(list, LB_DELETESTRING, *position, 0);
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  // Stored at once: the main window reloads the total from the store each
  // time it is activated, which would otherwise undo these removals.
  settings::SaveAppSetting(settings::kTotalObjectsRemoved, std::to_string(program_.removedObjects));
  program_.mousePointer = 0;
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  if (!notRemoved.empty()) platform::ShowMessage(hwnd(), NotRemovedMessage(notRemoved), MB_OK | MB_ICONEXCLAMATION);
}
