#include "windows/status_page.h"

#include <string>

#include "features/settings.h"
#include "toolkit/controls.h"
#include "windows/control_ids.h"
#include "windows/tab_layout.h"

namespace windows {
namespace {

constexpr toolkit::TwipsRect kStatusFrame = {240, 480, 6495, 3615};
constexpr int kStatusTops[] = {960, 1320, 1680, 2040, 2400, 2760};
toolkit::TwipsRect StatusCaption(int row) { return InFrame(kStatusFrame, {360, kStatusTops[row], 2760, 195}); }
toolkit::TwipsRect StatusValue(int row) { return InFrame(kStatusFrame, {3240, kStatusTops[row], 3120, 195}); }

}  // namespace

std::vector<toolkit::ControlRow> StatusPage::Rows() {
  using K = toolkit::ControlKind;
  using F = toolkit::FontKind;
  return {
      {ids::StatusFrame, K::Frame, OnTab(kStatusFrame), "Program Status", tabs::Status, F::Bold},
      {ids::StatusDefinitionsCaption, K::Label, StatusCaption(0), "Reference File:", tabs::Status},
      {ids::StatusDefinitionsValue, K::Label, StatusValue(0), "Not Loaded", tabs::Status, F::Bold},
      {ids::StatusProtectionCaption, K::Label, StatusCaption(1), "Protection against:", tabs::Status},
      {ids::StatusProtectionValue, K::Label, StatusValue(1), "Not Loaded", tabs::Status, F::Bold},
      {ids::StatusLastScanCaption, K::Label, StatusCaption(2), "Last System scan:", tabs::Status},
      {ids::StatusLastScanValue, K::Label, StatusValue(2), "Never", tabs::Status, F::Bold},
      {ids::StatusRemovedCaption, K::Label, StatusCaption(3), "Total objects removed:", tabs::Status},
      {ids::StatusRemovedValue, K::Label, StatusValue(3), "0", tabs::Status, F::Bold},
      {ids::StatusScansCaption, K::Label, StatusCaption(4), "Total scans:", tabs::Status},
      {ids::StatusScansValue, K::Label, StatusValue(4), "0", tabs::Status, F::Bold},
      {ids::StatusQuarantineCaption, K::Label, StatusCaption(5), "Objects in quarantine:", tabs::Status},
      {ids::StatusQuarantineValue, K::Label, StatusValue(5), "0", tabs::Status, F::Bold},
  };
}

void StatusPage::ShowDefinitions(const core::DefinitionsList& list) {
  toolkit::SetText(Control(ids::StatusDefinitionsValue), list.Header());
  toolkit::SetText(Control(ids::StatusProtectionValue), std::to_string(list.Count()) + " Adware/Spyware types");
}

void StatusPage::ShowRemovedTotal(int32_t total) {
  toolkit::SetText(Control(ids::StatusRemovedValue), std::to_string(total));
}

void StatusPage::ShowFigures(const core::DefinitionsList& list, size_t quarantined) {
  toolkit::SetText(Control(ids::StatusDefinitionsValue), list.Header());
  toolkit::SetText(Control(ids::StatusQuarantineValue), std::to_string(quarantined));
  toolkit::SetText(Control(ids::StatusLastScanValue), features::LastScanText());
  toolkit::SetText(Control(ids::StatusScansValue), features::ScanCountText());
}

}  // namespace windows
