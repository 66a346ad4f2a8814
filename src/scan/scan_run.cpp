// A scan run: "Scan Now" on the Scan tab, the automatic scan at start, or
// the scan of one folder asked for on the command line.
#include <windows.h>

#include <cstdio>

#include "platform/clock.h"
#include "platform/disk_lister.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"
#include "reference/definitions.h"
#include "scan/scan_engine.h"
#include "scan/scan_report.h"
#include "scan/scan_text.h"
#include "settings/setting_values.h"
#include "settings/settings_store.h"
#include "startup/program.h"
#include "ui/control_ids.h"
#include "ui/frmmain.h"

namespace ui {
namespace {

// The stored count plus one, in its shortest decimal form.
std::string NextScanCount(const std::string& stored) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", settings::ReadNumber(stored) + 1);
  return text;
}

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

std::vector<std::string> frmmain::RefreshDriveList() {
  HWND drives = Control(ids::Drive1);
  SendMessageW(drives, LB_RESETCONTENT, 0, 0);
  std::vector<std::string> entries = platform::LogicalDrives();
  for (const std::string& entry : entries) {
    SendMessageW(drives, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::Widen(entry).c_str()));
  }
  return entries;
}

void frmmain::cmdstartscan_Click() { ScanRun(nullptr); }

void frmmain::ScanFolder(const std::string& folder) { ScanRun(&folder); }

// `folder` names the one folder to scan; without it the Scan tab's choice
// decides.
void frmmain::ScanRun(const std::string* folder) {
  if (!program_.definitionsLoaded) return;
  // A second run inside the first one's message handling would empty the
  // results under it; the running scan is brought forward instead.
  if (program_.scanRunning) {
    if (program_.scanWindow) program_.scanWindow->BringToFront();
    return;
  }
  RunningFlag running(program_.scanRunning);

  program_.scanReportText.clear();
  settings::SaveAppSetting(settings::kLastRun, platform::GeneralDate(platform::Now()));
  settings::SaveAppSetting(settings::kScanCount, NextScanCount(settings::GetAppSetting(settings::kScanCount, "0")));
  program_.mousePointer = 13;
  ApplyMousePointer(program_.mousePointer);

  if (!program_.scanWindow || !program_.scanWindow->Exists()) program_.scanWindow = std::make_unique<frmscan>(program_);
  frmscan& window = *program_.scanWindow;
  window.Load();
  Hide();
  window.Show();
  window.EmptyResults();

  std::vector<std::string> roots;
  if (folder != nullptr) {
    roots.push_back(*folder);
  } else if (CheckState(ids::optfullscan) == 1) {
    const std::vector<std::string> drives = RefreshDriveList();
    roots = scan::FullScanRoots(drives, !drives.empty() && platform::IsFloppyDrive(drives.front()));
  } else {
    roots.push_back(platform::WindowsDirectory());
  }
  // Held for the whole run: the splash window's start button may reload the
  // definitions while this scan lets messages through.
  const reference::SharedDefinitions definitions = program_.frmtray.definitions();
  // A folder of many thousands of files is listed in parts, with the window's
  // messages let through in between.
  platform::DiskLister lister([&window] { return window.YieldToWindow(); });
  scan::ScanEngine engine(lister, window, definitions->list, definitions->index, program_.scanReportText,
                          window.objectsScanned);
  // Quarantined copies would otherwise be reported again by every full scan.
  engine.Exclude(platform::AppPath("Quarantine"));
  for (const std::string& root : roots) engine.Peek(root, true);

  if (settings::ReadsAsOn(settings::GetAppSetting(settings::kAutoLog, "0"))) {
    WriteScanReport(window.hwnd(), program_.scanReportText);
  }
  program_.mousePointer = 0;
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  window.Finish();
}

}  // namespace ui
