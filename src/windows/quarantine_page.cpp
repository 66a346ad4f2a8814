// The Quarantine tab: the files held in the Quarantine folder, their count,
// and deleting them for good.
#include <windows.h>

#include <vector>

#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/text.h"
#include "features/quarantine_records.h"
#include "windows/control_ids.h"
#include "windows/main_window.h"

namespace windows {
namespace {

std::string QuarantineFolder() { return platform::AppPath("Quarantine"); }

void FillList(HWND list, const std::vector<std::string>& names) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& name : names) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::Widen(name).c_str()));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void SelectEvery(HWND list, bool selected) {
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) SendMessageW(list, LB_SETSEL, selected, i);
}

}  // namespace

void MainWindow::RefreshQuarantineLists() {
  const std::vector<std::string> names = platform::ListPlainFiles(QuarantineFolder());
  FillList(Control(ids::FileListQuarantine), names);
  FillList(Control(ids::File1), names);
}

void MainWindow::UpdateQuarantineCount() {
  RefreshQuarantineLists();
  const LRESULT count = SendMessageW(Control(ids::FileListQuarantine), LB_GETCOUNT, 0, 0);
  toolkit::SetText(Control(ids::lblqcnt), std::to_string(count < 0 ? 0 : count) + " Adware in Quarantine");
}

void MainWindow::OnSelectAllClicked() { SelectEvery(Control(ids::FileListQuarantine), true); }

void MainWindow::OnDeselectAllClicked() { SelectEvery(Control(ids::FileListQuarantine), false); }

void MainWindow::OnDeleteSelectedClicked() {
  HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  HWND list = Control(ids::FileListQuarantine);
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  // A read-only copy is deleted all the same; one in use or already gone is
  // passed over, and the list, re-read afterwards, shows what is left.
  std::vector<std::string> deleted;
  for (LRESULT i = 0; i < count; ++i) {
    if (SendMessageW(list, LB_GETSEL, i, 0) > 0) {
      const std::string name = toolkit::ListItemText(list, static_cast<int>(i));
      if (platform::DeleteFileForced(QuarantineFolder() + "\\" + name)) deleted.push_back(name);
    }
  }
  features::ForgetQuarantined(deleted);
  RefreshQuarantineLists();
  SetCursor(previous);
}

}  // namespace windows
