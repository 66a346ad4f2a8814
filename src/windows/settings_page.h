// The Settings tab: five preferences, stored only when Save Settings is
// pressed, and the run-at-log-on value that mirrors "Load on Startup".
#pragma once

#include "windows/page.h"

namespace windows {

class SettingsPage : public Page {
 public:
  using Page::Page;

  // Shows the stored preferences and makes the Run value follow them.
  void LoadPreferences();
  bool ShowMainWindowTicked() const;
  // True when `id` is this page's and was handled.
  bool OnCommand(int id);

 private:
  void OnSaveClicked();
};

}  // namespace windows
