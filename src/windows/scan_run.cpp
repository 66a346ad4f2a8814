// A scan run: "Scan Now" on the Scan tab or the guard window, the automatic
// scan at start, the scheduled scan, or the scan of the folders handed over.
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
#include "windows/program.h"

namespace windows {

void MainWindow::OnScanNowClicked() { program_.gate.ScanNow(); }

void MainWindow::ScanRun(bool handedOver, std::optional<bool> fullScan) {
  if (fullScan) {
    if (*fullScan) {
      scan_.ChooseFullScan();
    } else {
      scan_.ChooseQuickScan();
    }
  }
  features::RecordScanStart();
  toolkit::BusyPointer busy(toolkit::Pointer::ArrowAndHourglass);

  ScanWindow& window = ShowScanWindow();
  // A run of handed-over folders takes them one by one as it walks, below.
  const std::vector<std::string> roots = handedOver ? std::vector<std::string>{} : ChosenScanRoots();
  features::ScanSession session(program_.definitions.shared(), window);
  window.Observe(&session);
  for (const std::string& root : roots) session.Walk(root);
  // Folders handed over while this run walks join it, in the same window.
  while (handedOver && !session.aborted()) {
    const std::optional<std::string> folder = program_.gate.TakeFolder();
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
