// The Scan tab: the choice between a full and a quick scan. Scan Now itself
// belongs to the main window, which runs the scan.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "windows/page.h"

namespace windows {

class ScanPage : public Page {
 public:
  using Page::Page;

  // The page's controls, in tab order; Scan Now runs `scanNow`.
  static std::vector<toolkit::ControlRow> Rows(std::function<void()> scanNow);

  void ChooseFullScan();
  void ChooseQuickScan();
  bool FullScanChosen() const;
  // The drive list a full scan walks, read afresh into the main window's
  // hidden drive list.
  std::vector<std::string> RefreshDriveList();
};

}  // namespace windows
