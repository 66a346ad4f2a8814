#include "windows/scheduled_scan.h"

#include "features/scheduled_scan.h"
#include "windows/modal_loop.h"
#include "windows/program.h"

namespace windows {

void RunScheduledScanIfDue(Program& program) {
  // A scan already under way waits for the next check; before start-up has
  // loaded the definitions, a scan would find nothing.
  if (!program.definitions.loaded() || program.scanRunning) return;
  // Nor inside a menu or a question, which the scan would outlast: the check
  // a minute later starts it.
  if (ModalLoop::AnyOpen()) return;
  // Nor are the results of a scan the user has not dealt with yet thrown
  // away: the scan waits for their window to close.
  if (program.scanWindow && program.scanWindow->HoldsDetections()) return;
  if (!features::ScheduledScanDue()) return;
  // Noted first: a scan that ends the program must not start again at once.
  features::RecordScheduledScan();
  program.mainWindow.StartScan(features::StoredScanSchedule().fullScan);
}

}  // namespace windows
