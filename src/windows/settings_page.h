// The Settings tab: the preferences and the scan schedule, stored only when
// Save Settings is pressed, the run-at-log-on value that mirrors "Load on
// Startup", and the window of the files the user chose to keep. What the
// administrator set is shown disabled, with a line that says so.
#pragma once

#include <functional>
#include <vector>

#include "windows/exclusions_window.h"
#include "windows/page.h"

namespace windows {

class SettingsPage : public Page {
 public:
  using Page::Page;

  // The page's controls, in tab order, with their handlers; `saved` runs
  // after Save Settings has stored them.
  std::vector<toolkit::ControlRow> Rows(std::function<void()> saved);

  // Fills the schedule's lists, once after the controls are made.
  void FillChoices();
  // Shows the stored preferences and makes the Run value follow them.
  void LoadPreferences();
  bool ShowMainWindowTicked() const;
  // Keyboard navigation of the Exclusions window; true when the message was used.
  bool PreTranslateMessage(MSG& msg) { return exclusions_.PreTranslateMessage(msg); }
  // The Exclusions window this page opened.
  bool IsToolWindow(HWND window) const { return window != nullptr && window == exclusions_.hwnd(); }

 private:
  void OnSaveClicked();
  void EnableScheduleChoices();

  std::function<void()> saved_;
  ExclusionsWindow exclusions_;
};

}  // namespace windows
