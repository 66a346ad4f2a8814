// The Settings tab: the preferences and the scan schedule, stored only when
// Save Settings is pressed, and the run-at-log-on value that mirrors "Load
// on Startup".
#pragma once

#include <vector>

#include "windows/page.h"

namespace windows {

class SettingsPage : public Page {
 public:
  using Page::Page;

  // The page's controls, in tab order, with their handlers.
  std::vector<toolkit::ControlRow> Rows();

  // Fills the schedule's lists, once after the controls are made.
  void FillChoices();
  // Shows the stored preferences and makes the Run value follow them.
  void LoadPreferences();
  bool ShowMainWindowTicked() const;

 private:
  void OnSaveClicked();
};

}  // namespace windows
