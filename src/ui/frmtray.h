// The hidden tray window: owns the notification-area icon, its menu, and the
// current definitions for the whole run of the program.
#pragma once

#include <windows.h>

#include "platform/handles.h"
#include "reference/definitions.h"
#include "ui/tray_icon.h"
#include "ui/window.h"

struct Program;

namespace ui {

class frmtray : public Window {
 public:
  explicit frmtray(Program& program);

  // Creates the window (never shown) and runs its load step.
  void Load();
  const reference::ReferenceList& lstadwarenames() const { return definitions_->list; }
  // The current load, shared: a scan keeps the one it started with.
  reference::SharedDefinitions definitions() const { return definitions_; }
  void SetDefinitions(reference::SharedDefinitions definitions) { definitions_ = std::move(definitions); }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Form_Load();
  void Form_MouseMove(LPARAM lParam);
  void PopupTrayMenu();
  void OnMenuCommand(int id);
  void mnushow_Click();
  void mnuabout_Click();
  void mnuexit_Click();
  // Saves what the main window keeps, removes the icon and ends the process.
  void EndProgram();

  Program& program_;
  reference::SharedDefinitions definitions_;
  platform::UniqueIcon icon_;
  platform::UniqueMenu mnublank_;
  NotifyRecord88 notifyRecord_ = {};
  bool menuOpen_ = false;
  // Broadcast when the shell's taskbar starts (again, after a crash of the
  // shell): the icon is gone then and is added anew.
  UINT taskbarCreated_ = 0;
};

}  // namespace ui
