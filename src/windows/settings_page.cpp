#include "windows/settings_page.h"

#include "core/setting_values.h"
#include "features/settings.h"
#include "windows/control_ids.h"

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

bool SettingsPage::OnCommand(int id) {
  if (id != ids::SettingsSaveButton) return false;
  OnSaveClicked();
  return true;
}

void SettingsPage::OnSaveClicked() {
  for (const PreferenceBox& pref : kPreferences) {
    features::SaveAppSetting(pref.key, core::TextFromCheckState(IsChecked(pref.checkBox) ? 1 : 0));
  }
  LoadPreferences();
}

}  // namespace windows
