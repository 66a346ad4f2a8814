// The program's windows and the few values the whole program shares. One
// instance lives for the run of the process, created at process start.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/pending_folders.h"
#include "features/definitions_loading.h"
#include "features/guard.h"
#include "features/removed_total.h"
#include "windows/application_window.h"
#include "windows/guard_window.h"
#include "windows/main_window.h"
#include "windows/scan_window.h"
#include "windows/splash_window.h"
#include "windows/tray_window.h"

namespace windows {

struct Program {
  Program() : tray(*this), mainWindow(*this), guardWindow(*this) {}

  ApplicationWindow appWindow;
  TrayWindow tray;
  MainWindow mainWindow;
  std::unique_ptr<SplashWindow> splash;
  // Created, hidden, when the guard first finds a file.
  GuardWindow guardWindow;
  // Running while "Guard the computer while running" is on and the
  // definitions are loaded.
  std::unique_ptr<features::Guard> guard;
  // Created by a scan run; its window is destroyed by Exit and the object
  // replaced by the next run.
  std::unique_ptr<ScanWindow> scanWindow;
  // A scan or a removal is under way. Either holds lines of detections by
  // their places in a list, which another scan would empty and refill.
  bool scanRunning = false;
  // Folders handed over ("/scan") that wait for a scan run.
  core::PendingFolders pendingScans;
  // Loaded by start-up; while the automatic update check at start waits for
  // an answer there are none yet.
  features::CurrentDefinitions definitions;
  features::RemovedTotal removedTotal;
};

// Sets Program::scanRunning for a scope and gives back what it was.
class ScanRunningFlag {
 public:
  explicit ScanRunningFlag(Program& program) : flag_(program.scanRunning), was_(flag_) { flag_ = true; }
  ~ScanRunningFlag() { flag_ = was_; }
  ScanRunningFlag(const ScanRunningFlag&) = delete;
  ScanRunningFlag& operator=(const ScanRunningFlag&) = delete;

 private:
  bool& flag_;
  const bool was_;
};

}  // namespace windows
