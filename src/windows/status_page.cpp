// The Status tab: definitions loaded, last scan, totals and quarantine count.
#include <windows.h>

#include "features/settings.h"
#include "windows/program.h"
#include "windows/control_ids.h"
#include "windows/main_window.h"

namespace windows {
void MainWindow::RefreshStatusOnActivate() {
  const core::DefinitionsList& list = program_.tray.definitionsList();
  toolkit::SetText(Control(ids::lblRefFilename), list.Header());
  toolkit::SetText(Control(ids::lbladwarerefcnt), std::to_string(list.Count()) + " Adware/Spyware types");
  LoadRemovedObjects();
  toolkit::SetText(Control(ids::lblStatus_Removed), std::to_string(program_.removedObjects));
}

void MainWindow::LoadRemovedObjects() {
  program_.removedObjects = features::LoadRemovedTotal();
}

void MainWindow::RefreshStatusOnTabFocus() {
  // Re-reads the quarantine folder into both lists, so the figure below is
  // current rather than as old as the last activation.
  UpdateQuarantineCount();
  toolkit::SetText(Control(ids::lblRefFilename), program_.tray.definitionsList().Header());
  const LRESULT count = SendMessageW(Control(ids::File1), LB_GETCOUNT, 0, 0);
  toolkit::SetText(Control(ids::lblStatus_Quarintine), std::to_string(count < 0 ? 0 : count));
  toolkit::SetText(Control(ids::lblStatus_System), features::LastScanText());
  toolkit::SetText(Control(ids::lblStatus_Total), features::ScanCountText());
}

}  // namespace windows
