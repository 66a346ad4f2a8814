#include "windows/scan_page.h"

#include "platform/disk_lister.h"
#include "platform/text.h"
#include "windows/control_ids.h"

namespace windows {

void ScanPage::ChooseFullScan() {
  SetChecked(ids::ScanFullOption, true);
  SetChecked(ids::ScanQuickOption, false);
}

bool ScanPage::FullScanChosen() const { return IsChecked(ids::ScanFullOption); }

std::vector<std::string> ScanPage::RefreshDriveList() {
  HWND drives = Control(ids::MainDriveList);
  SendMessageW(drives, LB_RESETCONTENT, 0, 0);
  std::vector<std::string> entries = platform::LogicalDrives();
  for (const std::string& entry : entries) {
    SendMessageW(drives, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::Widen(entry).c_str()));
  }
  return entries;
}

}  // namespace windows
