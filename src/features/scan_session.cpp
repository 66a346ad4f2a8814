#include "features/scan_session.h"

#include "core/scan_text.h"
#include "core/setting_values.h"
#include "features/exclusions.h"
#include "features/quarantine_records.h"
#include "features/scan_folders.h"
#include "features/settings.h"
#include "platform/disk_lister.h"
#include "platform/system.h"

namespace features {

std::vector<std::string> FullScanRoots(const std::vector<std::string>& driveEntries) {
  return core::FullScanRoots(driveEntries, platform::IsFloppyDrive);
}

std::string QuickScanRoot() { return platform::WindowsDirectory(); }

ScanSession::ScanSession(core::SharedDefinitions definitions, core::ScanObserver& view, Walking walking)
    : definitions_(std::move(definitions)),
      view_(view),
      folders_(ScanFolderSource(definitions_->index.fold(), [this] { return YieldToWindow(); },
                                walking == Walking::Foreground)),
      keptFiles_(ExcludedPaths()),
      engine_(*folders_, *this, definitions_->list, definitions_->index, reportText_, objectsScanned_) {
  engine_.Keep(keptFiles_);
  // Quarantined copies would otherwise be reported again by every full scan.
  folders_->Exclude(QuarantineFolder());
}

void ScanSession::Walk(const std::string& root) {
  if (!aborted_) engine_.Walk(root, true);
}

std::optional<ReportWrite> ScanSession::SaveReportIfWanted() const {
  if (!IsSwitchedOn(core::kAutoLog)) return std::nullopt;
  return WriteScanReport(reportText_);
}

}  // namespace features
