// The Settings tab: five preferences, stored only when Save Settings is
// pressed, the run-at-log-on value that mirrors "Load on Startup", and the
// window of the files the user chose to keep.
#pragma once

#include <vector>

#include "windows/exclusions_window.h"
#include "windows/page.h"

namespace windows {

class SettingsPage : public Page {
 public:
  using Page::Page;

  // The page's controls, in tab order, with their handlers.
  std::vector<toolkit::ControlRow> Rows();

  // Shows the stored preferences and makes the Run value follow them.
  void LoadPreferences();
  bool ShowMainWindowTicked() const;
  // Keyboard navigation of the Exclusions window; true when the message was used.
  bool PreTranslateMessage(MSG& msg) { return exclusions_.PreTranslateMessage(msg); }

 private:
  void OnSaveClicked();

  ExclusionsWindow exclusions_;
};

}  // namespace windows
