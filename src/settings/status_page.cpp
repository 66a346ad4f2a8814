// The Status tab: definitions loaded, last scan, totals and quarantine count.
#include <windows.h>

#include <climits>

#include "settings/setting_values.h"
#include "settings/settings_store.h"
#include "startup/program.h"
#include "ui/control_ids.h"
#include "ui/frmmain.h"

namespace ui {
namespace {

// A stored total that is not a number reads as 0; one beyond the 32-bit
// range stops at its limit.
int32_t ReadRemovedObjects(const std::string& text) {
  const double value = settings::ReadNumber(text);
  if (value >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  if (value <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace

void frmmain::RefreshStatusOnActivate() {
  const reference::ReferenceList& list = program_.frmtray.lstadwarenames();
  SetText(Control(ids::lblRefFilename), list.Header());
  SetText(Control(ids::lbladwarerefcnt), std::to_string(list.Count()) + " Adware/Spyware types");
  LoadRemovedObjects();
  SetText(Control(ids::lblStatus_Removed), std::to_string(program_.removedObjects));
}

void frmmain::LoadRemovedObjects() {
  program_.removedObjects = ReadRemovedObjects(settings::GetAppSetting(settings::kTotalObjectsRemoved, "0"));
}

void frmmain::RefreshStatusOnTabFocus() {
  // Re-reads the quarantine folder into both lists, so the figure below is
  // current rather than as old as the last activation.
  UpdateQuarantineCount();
  SetText(Control(ids::lblRefFilename), program_.frmtray.lstadwarenames().Header());
  const LRESULT count = SendMessageW(Control(ids::File1), LB_GETCOUNT, 0, 0);
  SetText(Control(ids::lblStatus_Quarintine), std::to_string(count < 0 ? 0 : count));
  SetText(Control(ids::lblStatus_System), settings::GetAppSetting(settings::kLastRun, "Never"));
  SetText(Control(ids::lblStatus_Total), settings::GetAppSetting(settings::kScanCount, "0"));
}

}  // namespace ui
