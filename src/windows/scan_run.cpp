// A scan run: "Scan Now" on the Scan tab, the automatic scan at start, or
// the scan of the folders handed over on the command line.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "features/scan_session.h"
#include "features/settings.h"
#include "toolkit/busy_pointer.h"
#include "windows/control_ids.h"
#include "windows/main_window.h"
#include "windows/message_box.h"
#include "windows/modal_loop.h"
#include "windows/program.h"

namespace windows {

void MainWindow::OnScanNowClicked() { ScanRun(false); }

void MainWindow::ScanPendingFolders() {
  if (program_.pendingScans.empty()) return;
  // Handed over while a menu or a question is open, whose loop runs this:
  // the run waits for its close.
  if (ModalLoop::AnyOpen()) {
    ModalLoop::WhenAllClosed([this] { program_.appWindow.ScanPendingFoldersSoon(); });
    return;
  }
  ScanRun(true);
}

void MainWindow::ScanRun(bool pendingFolders) {
  if (!program_.definitions.loaded()) return;
  // A second run inside the first one's message handling would empty the
  // results under it; the running scan is brought forward instead, and
  // folders handed over meanwhile wait for its end.
  if (program_.scanRunning) {
    if (program_.scanWindow) program_.scanWindow->BringToFront();
    return;
  }
  const ScanRunningFlag running(program_);

  features::RecordScanStart();
  toolkit::BusyPointer busy(toolkit::Pointer::ArrowAndHourglass);

  ScanWindow& window = ShowScanWindow();
  // A run of handed-over folders takes them one by one as it walks, below.
  const std::vector<std::string> roots = pendingFolders ? std::vector<std::string>{} : ChosenScanRoots();
  features::ScanSession session(program_.definitions.shared(), window);
  window.Observe(&session);
  for (const std::string& root : roots) session.Walk(root);
  // Folders handed over while this run walks join it, in the same window.
  while (pendingFolders && !session.aborted()) {
    const std::optional<std::string> folder = program_.pendingScans.Take();
    if (!folder) break;
    session.Walk(*folder);
  }
  window.Observe(nullptr);

  const std::optional<features::ReportWrite> report = session.SaveReportIfWanted();
  if (report && !report->written) {
    ShowMessage(window.hwnd(), "The scan report could not be saved as " + report->path + "\r\n" + report->error,
                MB_OK | MB_ICONEXCLAMATION);
  }
  busy.Release();
  window.Finish();
  // Handed over during another kind of run, or after an abort: the next run
  // is theirs.
  if (!program_.pendingScans.empty()) program_.appWindow.ScanPendingFoldersSoon();
}

ScanWindow& MainWindow::ShowScanWindow() {
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
  return window;
}

std::vector<std::string> MainWindow::ChosenScanRoots() {
  if (scan_.FullScanChosen()) return features::FullScanRoots(scan_.RefreshDriveList());
  return {features::QuickScanRoot()};
}

}  // namespace windows
