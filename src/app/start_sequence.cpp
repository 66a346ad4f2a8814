#include "app/start_sequence.h"

#include <windows.h>

#include "core/setting_values.h"
#include "core/update_limits.h"
#include "features/definitions_loading.h"
#include "features/scheduled_scan.h"
#include "features/settings.h"
#include "platform/files.h"
#include "windows/control_ids.h"
#include "windows/message_box.h"
#include "windows/guard_control.h"
#include "windows/program.h"

namespace app {
namespace {

// The program cannot work without its definitions: a file that is missing
// or damaged is reported and the program ends.
void LoadDefinitionsOrEnd(windows::Program& program) {
  // The old load is let go first: a large file is then never held twice,
  // unless a running scan still works with it.
  program.definitions.Forget();
  features::DefinitionsLoad load = features::LoadDefinitions(platform::AppPath("ref.dat"));
  if (!load.lookupError.empty()) windows::ShowMessage(nullptr, load.lookupError, MB_OK);
  switch (load.outcome) {
    case features::DefinitionsLoad::Outcome::Loaded:
      program.definitions.Use(std::move(load.definitions));
      return;
    case features::DefinitionsLoad::Outcome::Damaged:
      windows::ShowMessage(nullptr,
                           "The reference file is damaged: it is larger than " +
                               std::to_string(core::kDefinitionsBytes / (1024 * 1024)) + " MB or holds more than " +
                               std::to_string(core::kDefinitionsRecords) +
                               " records. Contact provider for help\r\nApplication will now terminate",
                           MB_OK | MB_ICONHAND);
      break;
    case features::DefinitionsLoad::Outcome::Missing:
      windows::ShowMessage(nullptr,
                           "Reference file not found cannot launch application. Contact provider for help\r\n"
                           "Application will now terminate",
                           MB_OK | MB_ICONHAND);
      break;
  }
  ExitProcess(0);
}

}  // namespace

void RunStartSequence(windows::Program& program) {
  windows::MainWindow& main = program.mainWindow;
  main.Load();
  main.LoadPreferences();
  LoadDefinitionsOrEnd(program);
  windows::FollowGuardSetting(program);
  if (main.IsAutoShowTicked()) main.Show();
  if (features::IsSwitchedOn(core::kAutoScan)) {
    // The full scan at start stands for a scheduled scan missed meanwhile.
    if (features::ScheduledScanDue()) features::RecordScheduledScan();
    main.Show();
    main.SelectTab(tabs::Scan);
    program.gate.ScanNow(true);
  }
  // Folders handed over while the definitions were let go waited for them;
  // a scheduled moment missed while the program was not running is caught up.
  program.gate.LookAgainSoon();
}

}  // namespace app
