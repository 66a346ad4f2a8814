// The program's windows and the few values the whole program shares. One
// instance lives for the run of the process, created at process start.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "features/definitions_loading.h"
#include "features/guard.h"
#include "features/removed_total.h"
#include "windows/application_window.h"
#include "windows/guard_window.h"
#include "windows/main_window.h"
#include "windows/scan_window.h"
#include "windows/splash_window.h"
#include "windows/tray_window.h"
#include "windows/work_gate.h"

namespace windows {

struct Program {
  Program() : gate(*this), tray(*this), mainWindow(*this), guardWindow(*this) {}

  ApplicationWindow appWindow;
  // Where every scan, removal and restore asks whether it may start.
  WorkGate gate;
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
  // Loaded by start-up; while the automatic update check at start waits for
  // an answer there are none yet.
  features::CurrentDefinitions definitions;
  features::RemovedTotal removedTotal;
};

}  // namespace windows
