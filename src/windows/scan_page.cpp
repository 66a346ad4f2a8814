#include "windows/scan_page.h"

#include "platform/disk_lister.h"
#include "platform/text.h"
#include "windows/control_ids.h"
#include "windows/tab_layout.h"

namespace windows {

std::vector<toolkit::ControlRow> ScanPage::Rows(std::function<void()> scanNow) {
  using K = toolkit::ControlKind;
  using F = toolkit::FontKind;
  constexpr toolkit::TwipsRect kScanFrame = {840, 1080, 4575, 2295};
  return {
      {ids::ScanModeFrame, K::Frame, OnTab(kScanFrame), "Choose Scan Mode", tabs::Scan, F::Bold},
      toolkit::ControlRow{ids::ScanFullOption, K::OptionFirst, InFrame(kScanFrame, {720, 600, 3015, 255}),
                          "Full System Scan", tabs::Scan}
          .WithHelp(),
      toolkit::ControlRow{ids::ScanQuickOption, K::Option, InFrame(kScanFrame, {720, 1080, 3015, 255}), "Quick Scan",
                          tabs::Scan}
          .WithHelp(),
      toolkit::ControlRow{ids::ScanNowButton, K::PushButton, OnTab({5040, 3720, 1215, 375}), "&Scan Now", tabs::Scan}
          .Runs(std::move(scanNow))
          .WithHelp(),
  };
}

void ScanPage::ChooseFullScan() {
  SetChecked(ids::ScanFullOption, true);
  SetChecked(ids::ScanQuickOption, false);
}

void ScanPage::ChooseQuickScan() {
  SetChecked(ids::ScanFullOption, false);
  SetChecked(ids::ScanQuickOption, true);
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
