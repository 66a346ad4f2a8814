// The splash window: version and maker lines over the background picture,
// and three picture buttons (start, licence text, exit).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/handles.h"
#include "toolkit/controls.h"
#include "toolkit/window.h"

namespace windows {

class SplashWindow : public toolkit::Window {
 public:
  // `startSequence` runs when the window has been created and again when
  // its start button is pressed. `owner` is the application window.
  SplashWindow(HWND owner, std::function<void()> startSequence);

  // Creates the window without showing it; creating it runs the start
  // sequence, so when this returns the program is ready.
  void Load();
  void Show();
  bool PreTranslateMessage(MSG& msg);

 private:
  std::vector<toolkit::ControlRow> Rows();
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void CreateContent();
  void OnActivated();
  void OnPaint();
  void OnStartClicked();
  void OnViewLicenseClicked();
  void OnExitClicked();
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  void SetLabel(int id, const std::string& text);

  HWND owner_;
  std::function<void()> startSequence_;
  int dpi_ = 96;
  std::unique_ptr<toolkit::FontSet> fonts_;
  toolkit::ControlSet controls_;
  platform::UniqueBitmap background_;
  platform::UniqueBitmap startButton_, licenseButton_, exitButton_;
};

}  // namespace windows
