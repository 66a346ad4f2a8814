// A scan run: "Scan Now" on the Scan tab, the automatic scan at start, or
// the scan of one folder asked for on the command line.
#include <windows.h>

#include "core/definitions.h"
#include "core/definitions_index.h"
#include "core/scan_engine.h"
#include "core/scan_text.h"
#include "core/setting_values.h"
#include "features/background_walk.h"
#include "features/exclusions.h"
#include "features/quarantine_records.h"
#include "features/scan_report.h"
#include "features/settings.h"
#include "platform/clock.h"
#include "platform/disk_lister.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"
#include "toolkit/busy_pointer.h"
#include "windows/control_ids.h"
#include "windows/main_window.h"
#include "windows/message_box.h"
#include "windows/program.h"

namespace windows {
namespace {

class RunningFlag {
 public:
  explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~RunningFlag() { flag_ = false; }
  RunningFlag(const RunningFlag&) = delete;
  RunningFlag& operator=(const RunningFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void MainWindow::OnScanNowClicked() { ScanRun(nullptr); }

void MainWindow::ScanFolder(const std::string& folder) { ScanRun(&folder); }

void MainWindow::ScanRun(const std::string* folder) {
  if (!program_.definitionsLoaded) return;
  // A second run inside the first one's message handling would empty the
  // results under it; the running scan is brought forward instead.
  if (program_.scanRunning) {
    if (program_.scanWindow) program_.scanWindow->BringToFront();
    return;
  }
  RunningFlag running(program_.scanRunning);

  program_.scanReportText.clear();
  features::RecordScanStart(platform::GeneralDate(platform::Now()));
  toolkit::BusyPointer busy(toolkit::Pointer::ArrowAndHourglass);

  if (!program_.scanWindow || !program_.scanWindow->Exists()) program_.scanWindow = std::make_unique<ScanWindow>(program_);
  ScanWindow& window = *program_.scanWindow;
  // Making the window and swapping it for this one each take tens of
  // milliseconds; messages sent meanwhile are answered in between.
  window.Load();
  window.YieldToWindow();
  Hide();
  window.Show();
  window.YieldToWindow();
  window.EmptyResults();

  std::vector<std::string> roots;
  if (folder != nullptr) {
    roots.push_back(*folder);
  } else if (scan_.FullScanChosen()) {
    const std::vector<std::string> drives = scan_.RefreshDriveList();
    roots = core::FullScanRoots(drives, platform::IsFloppyDrive);
  } else {
    roots.push_back(platform::WindowsDirectory());
  }
  // Held for the whole run: the splash window's start button may reload the
  // definitions while this scan lets messages through.
  const core::SharedDefinitions definitions = program_.tray.definitions();
  // The folders are listed ahead on a thread of their own while this one
  // examines them and keeps the window answering.
  features::BackgroundFolderWalk folders(definitions->index.fold(), [&window] { return window.YieldToWindow(); });
  core::ScanEngine engine(folders, window, definitions->list, definitions->index, program_.scanReportText,
                          window.objectsScanned);
  // Read once per run: the user may exclude files from the last results
  // while this one waits to start.
  const core::PathSet keptFiles = features::ExcludedPaths();
  engine.Keep(keptFiles);
  // Quarantined copies would otherwise be reported again by every full scan.
  folders.Exclude(features::QuarantineFolder());
  for (const std::string& root : roots) engine.Walk(root, true);

  if (features::IsSwitchedOn(core::kAutoLog)) {
    const features::ReportWrite report = features::WriteScanReport(program_.scanReportText);
    if (!report.written) {
      ShowMessage(window.hwnd(), "The scan report could not be saved as " + report.path + "\r\n" + report.error,
                  MB_OK | MB_ICONEXCLAMATION);
    }
  }
  busy.Release();
  window.Finish();
}

}  // namespace windows
