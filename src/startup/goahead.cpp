#include "startup/goahead.h"

#include "settings/setting_values.h"
#include "settings/settings_store.h"
#include "startup/program.h"
#include "ui/control_ids.h"

void goahead(Program& program) {
  ui::frmmain& main = program.frmmain;
  main.Load();
  main.loadUserPrefs();
  main.loadReferenceFile();
  if (main.IsAutoShowTicked()) main.Show();
  if (settings::ReadsAsOn(settings::GetAppSetting(settings::kAutoScan, "0"))) {
    main.Show();
    main.SelectTab(tabs::Scan);
    main.SelectFullScan();
    main.cmdstartscan_Click();
  }
}
