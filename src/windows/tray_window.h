// The hidden tray window: owns the notification-area icon and its menu for
// the whole run of the program.
#pragma once

#include <windows.h>

#include <string>

#include "platform/handles.h"
#include "toolkit/tray_icon.h"
#include "toolkit/window.h"

namespace windows {

struct Program;

class TrayWindow : public toolkit::Window {
 public:
  explicit TrayWindow(Program& program);

  // Creates the window (never shown) and runs its load step.
  void Load();
  void ShowBalloon(const std::string& title, const std::string& text);

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void CreateContent();
  void OnIconEvent(LPARAM lParam);
  void PopupTrayMenu();
  void OnShowChosen();
  void OnAboutChosen();
  void OnExitChosen();
  void OnGuardChosen();
  // Saves what the main window keeps, closes the windows and ends the process.
  void EndProgram();

  Program& program_;
  platform::UniqueIcon icon_;
  platform::UniqueMenu menu_;
  toolkit::NotifyRecord88 notifyRecord_ = {};
  bool menuOpen_ = false;
  int iconRetries_ = 0;
  // Broadcast when the shell's taskbar starts (again, after a crash of the
  // shell): the icon is gone then and is added anew.
  UINT taskbarCreated_ = 0;
  // The last balloon the shell took, for the tests' kLastBalloonMessage.
  UINT lastBalloonQuery_ = 0;
  std::string lastBalloonTitle_;
  std::string lastBalloonText_;
};

}  // namespace windows
