#include "windows/settings_page.h"

#include "core/setting_values.h"
#include "features/settings.h"
#include "windows/control_ids.h"
#include "windows/tab_layout.h"

namespace windows {
namespace {

struct PreferenceBox {
  const char* key;
  int checkBox;
  const char* defaultValue;
};

// In the order they are read and written.
constexpr PreferenceBox kPreferences[] = {
    {core::kAutoRun, ids::SettingsLoadOnStartup, "0"}, {core::kAutoScan, ids::SettingsScanOnStartup, "0"},
    {core::kAutoUpdate, ids::SettingsCheckUpdates, "0"}, {core::kAutoLog, ids::SettingsSaveReports, "0"},
    {core::kAutoShow, ids::SettingsShowMainWindow, "1"},
};

}  // namespace

void SettingsPage::LoadPreferences() {
  for (const PreferenceBox& pref : kPreferences) {
    SetChecked(pref.checkBox, core::CheckStateFromText(features::GetAppSetting(pref.key, pref.defaultValue)) == 1);
  }
  features::SetStartAtLogOn(IsChecked(ids::SettingsLoadOnStartup));
}

bool SettingsPage::ShowMainWindowTicked() const { return IsChecked(ids::SettingsShowMainWindow); }

std::vector<toolkit::ControlRow> SettingsPage::Rows() {
  using K = toolkit::ControlKind;
  constexpr toolkit::TwipsRect kPrefsFrame = {840, 720, 5295, 2895};
  const auto box = [&](int id, toolkit::TwipsRect rect, const char* caption) {
    return toolkit::ControlRow{id, K::CheckBox, InFrame(kPrefsFrame, rect), caption, tabs::Settings}.WithHelp();
  };
  return {
      {ids::SettingsFrame, K::Frame, OnTab(kPrefsFrame), "Select your preferences", tabs::Settings},
      box(ids::SettingsLoadOnStartup, {360, 480, 3975, 255}, "Load on Startup"),
      box(ids::SettingsScanOnStartup, {360, 960, 4455, 255}, "Auto Scan on Startup"),
      box(ids::SettingsCheckUpdates, {360, 1440, 4815, 375}, "Check for updates Automatically"),
      box(ids::SettingsSaveReports, {360, 1920, 2535, 255}, "Save Scan Results to File"),
      box(ids::SettingsShowMainWindow, {360, 2400, 2535, 255}, "Show Main Window on Startup"),
      toolkit::ControlRow{ids::SettingsExclusionsButton, K::PushButton, OnTab({4080, 3720, 1335, 375}),
                          "E&xclusions...", tabs::Settings}
          .Runs([this] { exclusions_.Open(hwnd()); })
          .WithHelp(),
      toolkit::ControlRow{ids::SettingsSaveButton, K::PushButton, OnTab({5520, 3720, 1215, 375}), "&Save Settings",
                          tabs::Settings}
          .Runs([this] { OnSaveClicked(); })
          .WithHelp(),
  };
}

void SettingsPage::OnSaveClicked() {
  for (const PreferenceBox& pref : kPreferences) {
    features::SaveAppSetting(pref.key, core::TextFromCheckState(IsChecked(pref.checkBox) ? 1 : 0));
  }
  LoadPreferences();
}

}  // namespace windows
