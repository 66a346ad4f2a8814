// The scan window's Quarantine button: end the programs the definitions
// name, then move every marked detection into quarantine.
#include <windows.h>

#include <vector>

#include "core/removal_text.h"
#include "features/exclusions.h"
#include "features/disk_folders.h"
#include "features/process_pass.h"
#include "features/removal.h"
#include "features/settings.h"
#include "platform/files.h"
#include "platform/painting_wait.h"
#include "platform/system.h"
#include "toolkit/busy_pointer.h"
#include "windows/message_box.h"
#include "windows/message_loop.h"
#include "windows/program.h"
#include "windows/scan_window.h"

namespace windows {
namespace {

// How long the removal may run between two looks at the window's messages.
constexpr DWORD kPaintSliceMs = 15;

class PaintSlices {
 public:
  void Due() {
    if (GetTickCount() - last_ < kPaintSliceMs) return;
    platform::LetWindowsPaint();
    last_ = GetTickCount();
  }

 private:
  DWORD last_ = GetTickCount();
};

std::string FilePathOf(const std::string& detectionLine) { return detectionLine.substr(0, detectionLine.find(" > ")); }

// The files the user keeps: the excluded ones, and those whose every line
// in the list is left unmarked.
core::PathSet KeptFiles(HWND list) {
  core::PathSet kept = features::ExcludedPaths();
  core::PathSet marked(features::FoldFileName);
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (int i = 0; i < count; ++i) {
    if (SendMessageW(list, LB_GETSEL, i, 0) > 0) marked.Add(FilePathOf(toolkit::ListItemText(list, i)));
  }
  for (int i = 0; i < count; ++i) {
    const std::string path = FilePathOf(toolkit::ListItemText(list, i));
    if (!marked.Contains(path)) kept.Add(path);
  }
  return kept;
}

std::string NotRemovedMessage(const std::vector<std::string>& files) {
  std::string text = files.size() == 1 ? "1 item could not be removed:" : std::to_string(files.size()) +
                                                                            " items could not be removed:";
  for (const std::string& file : files) text += "\r\n" + file;
  text += "\r\n\r\nThe files are still in place; close the programs that use them and try again.";
  return text;
}

}  // namespace

void ScanWindow::OnQuarantineClicked() {
  toolkit::BusyPointer busy(toolkit::Pointer::ArrowAndHourglass);
  HWND list = DetectionList();
  const core::PathSet excluded = features::ExcludedPaths();
  switch (core::ProcessPassFor(platform::OsPlatformId())) {
    case core::ProcessPass::Run:
      features::EndNamedProcesses(program_.tray.definitions()->index, KeptFiles(list),
                                  [this] { ShowMessage(hwnd(), "same", MB_OK); });
      break;
    case core::ProcessPass::NotRecognized:
      ShowMessage(hwnd(), "Operating system not recognized!", MB_OK | MB_ICONHAND);
      break;
  }

  const std::string applicationFolder = platform::ApplicationFolder();
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  std::vector<int> leaving;
  int32_t removed = 0;
  std::vector<std::string> notRemoved;
  PaintSlices paint;
  for (int i = 0; i < count; ++i) {
    paint.Due();
    if (SendMessageW(list, LB_GETSEL, i, 0) <= 0) continue;
    // Excluded since the scan listed it, from this window or another.
    if (excluded.Contains(FilePathOf(toolkit::ListItemText(list, i)))) continue;
    const features::DetectionRemoval removal = features::RemoveDetection(toolkit::ListItemText(list, i), applicationFolder);
    if (!removal.understood) continue;
    switch (removal.result) {
      case features::RemovalResult::Removed:
        ++removed;
        leaving.push_back(i);
        break;
      case features::RemovalResult::AlreadyGone:
        leaving.push_back(i);
        break;
      case features::RemovalResult::Failed:
        notRemoved.push_back(removal.filePath);
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
  program_.removedTotal.Add(removed);
  busy.Release();
  if (!notRemoved.empty()) ShowMessage(hwnd(), NotRemovedMessage(notRemoved), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace windows
