#include "windows/scheduled_scan.h"

#include "features/scheduled_scan.h"
#include "windows/program.h"

namespace windows {

void RunScheduledScanIfDue(Program& program) {
  // A scan already under way waits for the next check; before start-up has
  // loaded the definitions, a scan would find nothing.
  if (!program.definitions.loaded() || program.scanRunning) return;
  if (!features::ScheduledScanDue()) return;
  // Noted first: a scan that ends the program must not start again at once.
  features::RecordScheduledScan();
  program.mainWindow.StartScan(features::StoredScanSchedule().fullScan);
}

}  // namespace windows
