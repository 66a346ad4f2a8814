#include "features/scan_session.h"

#include <algorithm>

#include "core/scan_text.h"
#include "core/setting_values.h"
#include "features/exclusions.h"
#include "features/quarantine_records.h"
#include "features/settings.h"
#include "platform/disk_lister.h"
#include "platform/system.h"

namespace features {
namespace {

// Listings wait on the disk more than on a processor, but under the
// operating system's own locks more threads stop paying off.
constexpr int kMostListingThreads = 4;

}  // namespace

std::vector<std::string> FullScanRoots(const std::vector<std::string>& driveEntries) {
  return core::FullScanRoots(driveEntries, platform::IsFloppyDrive);
}

std::string QuickScanRoot() { return platform::WindowsDirectory(); }

ScanSession::ScanSession(core::SharedDefinitions definitions, core::ScanObserver& view)
    : definitions_(std::move(definitions)),
      view_(view),
      folders_(definitions_->index.fold(), [this] { return YieldToWindow(); },
               std::clamp(platform::ProcessorCount(), 1, kMostListingThreads)),
      keptFiles_(ExcludedPaths()),
      engine_(folders_, *this, definitions_->list, definitions_->index, reportText_, objectsScanned_) {
  engine_.Keep(keptFiles_);
  // Quarantined copies would otherwise be reported again by every full scan.
  folders_.Exclude(QuarantineFolder());
}

void ScanSession::Walk(const std::string& root) {
  if (!aborted_) engine_.Walk(root, true);
}

std::optional<ReportWrite> ScanSession::SaveReportIfWanted() const {
  if (!IsSwitchedOn(core::kAutoLog)) return std::nullopt;
  return WriteScanReport(reportText_);
}

}  // namespace features
