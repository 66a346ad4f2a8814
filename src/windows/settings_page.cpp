// The five preferences on the Settings tab and the run-at-log-on value that
// mirrors "Load on Startup".
#include "core/setting_values.h"
#include "features/settings.h"
#include "windows/control_ids.h"
#include "windows/main_window.h"

namespace windows {
namespace {

struct PreferenceBox {
  const char* key;
  int checkBox;
  const char* defaultValue;
};

// In the order they are read and written.
constexpr PreferenceBox kPreferences[] = {
    {core::kAutoRun, ids::chkrunonstart, "0"}, {core::kAutoScan, ids::chkscanonstart, "0"},
    {core::kAutoUpdate, ids::chkautoupdate, "0"}, {core::kAutoLog, ids::chkuselog, "0"},
    {core::kAutoShow, ids::chkautoshow, "1"},
};

}  // namespace

void MainWindow::LoadPreferences() {
  for (const PreferenceBox& pref : kPreferences) {
    SetCheckState(pref.checkBox, core::CheckStateFromText(features::GetAppSetting(pref.key, pref.defaultValue)));
  }
  features::SetStartAtLogOn(CheckState(ids::chkrunonstart) == 1);
}

void MainWindow::OnSaveSettingsClicked() {
  for (const PreferenceBox& pref : kPreferences) {
    features::SaveAppSetting(pref.key, core::TextFromCheckState(CheckState(pref.checkBox)));
  }
  LoadPreferences();
}

}  // namespace windows
