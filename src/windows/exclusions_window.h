// The "Exclusions" window: the files the user chose to keep, each with the
// description it had, and Remove, which lets scans list a file again.
// Opened from the Settings tab.
#pragma once

#include <memory>
#include <vector>

#include "features/exclusions.h"
#include "toolkit/controls.h"
#include "toolkit/window.h"

namespace windows {

class ExclusionsWindow : public toolkit::Window {
 public:
  // Creates the window when needed, fills its list from the store and
  // brings it forward.
  void Open(HWND owner);
  // Tab, Enter, Esc and Alt mnemonics of the window; true when used.
  bool PreTranslateMessage(MSG& msg) { return Exists() && toolkit::RouteDialogKeys(hwnd(), msg); }

 private:
  std::vector<toolkit::ControlRow> Rows();
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Refill();
  void OnRemoveClicked();

  std::unique_ptr<toolkit::FontSet> fonts_;
  toolkit::ControlSet controls_;
  // The exclusions in list order.
  std::vector<features::Exclusion> shown_;
  HWND lastFocus_ = nullptr;  // the control that had the focus when the window was left
};

}  // namespace windows
