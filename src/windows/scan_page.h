// The Scan tab: the choice between a full and a quick scan. Scan Now itself
// belongs to the main window, which runs the scan.
#pragma once

#include <string>
#include <vector>

#include "windows/page.h"

namespace windows {

class ScanPage : public Page {
 public:
  using Page::Page;

  void ChooseFullScan();
  bool FullScanChosen() const;
  // The drive list a full scan walks, read afresh into the main window's
  // hidden drive list.
  std::vector<std::string> RefreshDriveList();
};

}  // namespace windows
