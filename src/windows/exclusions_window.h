// The "Exclusions" window: the files and folders the user chose to keep,
// each with the description it had, Add Folder and Add File, and Remove,
// which lets scans list a file again; apart from them, those the
// administrator set, which the user cannot remove. One the program cannot
// use is shown as not in effect, with the reason. Opened from the Settings
// tab.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "features/exclusions.h"
#include "toolkit/controls.h"
#include "toolkit/window.h"

namespace windows {

class ExclusionsWindow : public toolkit::Window {
 public:
  // Creates the window when needed, fills its lists from the store and
  // brings it forward.
  void Open(HWND owner);
  // Tab, Enter, Esc and Alt mnemonics of the window; true when used.
  bool PreTranslateMessage(MSG& msg) { return Exists() && toolkit::RouteDialogKeys(hwnd(), msg); }

 private:
  std::vector<toolkit::ControlRow> Rows();
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Refill();
  void OnRemoveClicked();
  void OnAddFolderClicked();
  void OnAddFileClicked();
  void Add(const std::string& path);

  std::unique_ptr<toolkit::FontSet> fonts_;
  toolkit::ControlSet controls_;
  // The user's exclusions and the administrator's, in list order.
  std::vector<features::Exclusion> shown_;
  std::vector<features::Exclusion> shownPolicy_;
  HWND lastFocus_ = nullptr;  // the control that had the focus when the window was left
};

}  // namespace windows
