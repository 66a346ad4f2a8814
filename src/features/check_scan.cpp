#include "features/check_scan.h"

#include <vector>

#include "core/scan_engine.h"
#include "features/definitions_loading.h"
#include "features/scan_report.h"
#include "features/scan_session.h"
#include "platform/files.h"

namespace features {
namespace {

// Nobody watches: the walk runs to its end.
class UnwatchedScan : public core::ScanObserver {
 public:
  bool YieldToWindow() override { return false; }
  void ScanningFolder(const std::string&) override {}
  void Detected(const core::Detection&) override { ++detections_; }
  void FileExamined(int32_t) override {}
  int detections() const { return detections_; }

 private:
  int detections_ = 0;
};

// Why nothing can be checked, or the empty text. Every folder is looked at
// first: a script is told of a missing one rather than given a partial scan.
std::string ReasonNotToScan(const std::vector<std::string>& folders, const DefinitionsLoad& load) {
  for (const std::string& folder : folders) {
    if (!platform::IsFolder(folder)) return "There is no folder \"" + folder + "\", so nothing was checked.";
  }
  if (load.outcome != DefinitionsLoad::Outcome::Loaded) {
    return "The reference file " + platform::AppPath("ref.dat") + " is missing or damaged, so nothing was checked.";
  }
  return std::string();
}

CheckOutcome Failed(const std::string& reportFile, std::string message) {
  if (!reportFile.empty()) {
    const ReportWrite write = WriteReportMessageAs(reportFile, message);
    if (!write.written) message += "\r\nThis could not be written to " + write.path + ": " + write.error;
  }
  return {kCheckFailed, message};
}

}  // namespace

CheckOutcome RunCheck(const core::CheckCommand& command) {
  // Relative names are taken from the folder the script runs in.
  const std::string reportFile = command.reportFile.empty() ? std::string() : platform::FullPath(command.reportFile);
  if (!command.error.empty()) return Failed(reportFile, command.error);
  std::vector<std::string> folders;
  for (const std::string& folder : command.folders) folders.push_back(platform::FullPath(folder));
  DefinitionsLoad load = LoadDefinitions(platform::AppPath("ref.dat"));
  const std::string reason = ReasonNotToScan(folders, load);
  if (!reason.empty()) return Failed(reportFile, reason);

  UnwatchedScan observer;
  ScanSession session(std::move(load.definitions), observer);
  for (const std::string& folder : folders) session.Walk(folder);
  CheckOutcome outcome;
  outcome.exitCode = observer.detections() > 0 ? kCheckFound : kCheckClean;
  if (!reportFile.empty()) {
    const ReportWrite write = WriteScanReportAs(reportFile, session.reportText());
    if (!write.written) {
      outcome = {kCheckFailed, "The report could not be written to " + write.path + ": " + write.error};
    }
  }
  return outcome;
}

}  // namespace features
