// What a tab page of the main window works with: the controls it owns,
// found by id, and the main window as the owner of its message boxes.
#pragma once

#include <windows.h>

#include <vector>

#include "toolkit/controls.h"
#include "toolkit/window.h"

namespace windows {

class Page {
 public:
  Page(const toolkit::ControlSet& controls, const toolkit::Window& owner) : controls_(controls), owner_(owner) {}
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

 protected:
  HWND Control(int id) const { return controls_.Get(id); }
  // The main window.
  HWND hwnd() const { return owner_.hwnd(); }
  bool IsChecked(int id) const { return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetChecked(int id, bool checked) {
    SendMessageW(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }

 private:
  const toolkit::ControlSet& controls_;
  const toolkit::Window& owner_;
};

}  // namespace windows
