#include "windows/status_page.h"

#include <string>

#include "features/settings.h"
#include "toolkit/controls.h"
#include "windows/control_ids.h"

namespace windows {

void StatusPage::ShowDefinitions(const core::DefinitionsList& list) {
  toolkit::SetText(Control(ids::StatusDefinitionsValue), list.Header());
  toolkit::SetText(Control(ids::StatusProtectionValue), std::to_string(list.Count()) + " Adware/Spyware types");
}

void StatusPage::ShowRemovedTotal(int32_t total) {
  toolkit::SetText(Control(ids::StatusRemovedValue), std::to_string(total));
}

void StatusPage::ShowFigures(const core::DefinitionsList& list) {
  toolkit::SetText(Control(ids::StatusDefinitionsValue), list.Header());
  const LRESULT count = SendMessageW(Control(ids::MainQuarantineFiles), LB_GETCOUNT, 0, 0);
  toolkit::SetText(Control(ids::StatusQuarantineValue), std::to_string(count < 0 ? 0 : count));
  toolkit::SetText(Control(ids::StatusLastScanValue), features::LastScanText());
  toolkit::SetText(Control(ids::StatusScansValue), features::ScanCountText());
}

}  // namespace windows
