// The five preferences on the Settings tab and the run-at-log-on value that
// mirrors "Load on Startup".
#include "platform/files.h"
#include "platform/run_key.h"
#include "settings/setting_values.h"
#include "settings/settings_store.h"
#include "startup/app_identity.h"
#include "ui/control_ids.h"
#include "ui/frmmain.h"

namespace ui {
namespace {

struct PreferenceBox {
  const char* key;
  int checkBox;
  const char* defaultValue;
};

// In the order they are read and written.
constexpr PreferenceBox kPreferences[] = {
    {settings::kAutoRun, ids::chkrunonstart, "0"}, {settings::kAutoScan, ids::chkscanonstart, "0"},
    {settings::kAutoUpdate, ids::chkautoupdate, "0"}, {settings::kAutoLog, ids::chkuselog, "0"},
    {settings::kAutoShow, ids::chkautoshow, "1"},
};

}  // namespace

void frmmain::loadUserPrefs() {
  for (const PreferenceBox& pref : kPreferences) {
    SetCheckState(pref.checkBox, settings::CheckStateFromText(settings::GetAppSetting(pref.key, pref.defaultValue)));
  }
  SetStartup(CheckState(ids::chkrunonstart) == 1);
}

void frmmain::cmdSavePrefs_Click() {
  for (const PreferenceBox& pref : kPreferences) {
    settings::SaveAppSetting(pref.key, settings::TextFromCheckState(CheckState(pref.checkBox)));
  }
  loadUserPrefs();
}

void frmmain::SetStartup(bool on) {
  if (on) {
    platform::SetRunValue(app::kTitle, settings::RunValueData(platform::ModulePath()));
  } else {
    platform::DeleteRunValue(app::kTitle);
  }
}

}  // namespace ui
