// The Quarantine tab: the files held in the Quarantine folder, their count,
// deleting them for good, and the list's context menu that puts them back.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "windows/page.h"
#include "windows/work_gate.h"

namespace windows {

class QuarantinePage : public Page {
 public:
  // `restored` learns where each restored file went, as soon as it is back.
  QuarantinePage(const toolkit::ControlSet& controls, const toolkit::Window& owner, WorkGate& gate,
                 std::function<void(const std::string&)> restored)
      : Page(controls, owner), gate_(gate), restored_(std::move(restored)) {}

  // The page's controls, in tab order, with their handlers.
  std::vector<toolkit::ControlRow> Rows();

  // Re-reads the Quarantine folder into the list.
  void RefreshLists();
  // The same, and the count below the list.
  void RefreshCount();
  // The files listed at the last reading, which the Status tab shows.
  size_t count() const { return count_; }
  // The list's context menu; false when `source` is another window.
  bool OnContextMenu(HWND source, LPARAM position);

 private:
  void OnSelectAllClicked();
  void OnDeselectAllClicked();
  void OnDeleteSelectedClicked();
  void RestoreSelected(bool chooseFolder);
  void ShowSelectedDetails();

  WorkGate& gate_;
  size_t count_ = 0;
  std::function<void(const std::string&)> restored_;
};

}  // namespace windows
