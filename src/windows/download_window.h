// The small "Downloading Update" window shown while new definitions are
// fetched. It cannot be closed by the user and has no code of its own.
#pragma once

#include <memory>

#include "toolkit/controls.h"
#include "toolkit/window.h"

namespace windows {

class DownloadWindow : public toolkit::Window {
 public:
  // Shows the window centred on the screen without its Close command and
  // paints it at once, before the blocking download starts.
  void ShowNow(HWND owner);
  void Close();

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  std::unique_ptr<toolkit::FontSet> fonts_;
  toolkit::ControlSet controls_;
};

}  // namespace windows
