// The program's windows and the few values the whole program shares. One
// instance lives for the run of the process, created by Main.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "scan/frmscan.h"
#include "startup/application_window.h"
#include "startup/frmSplash.h"
#include "ui/frmmain.h"
#include "ui/frmtray.h"

struct Program {
  Program() : frmtray(*this), frmmain(*this) {}

  ApplicationWindow appWindow;
  ui::frmtray frmtray;
  ui::frmmain frmmain;
  std::unique_ptr<frmSplash> splash;
  // Created by a scan run; its window is destroyed by Exit and the object
  // replaced by the next run.
  std::unique_ptr<frmscan> scanWindow;
  bool scanRunning = false;
  // Set once start-up has loaded the definitions. Before that (while the
  // automatic update check at start waits for an answer) a scan would find
  // nothing and call the machine clean.
  bool definitionsLoaded = false;
  // Mouse pointer for the whole program: 0 default, 11 hourglass, 13 arrow
  // with hourglass.
  int mousePointer = 0;

  // Total of objects removed, loaded from and saved to the settings store.
  int32_t removedObjects = 0;
  // Set by the scan window's Abort button, tested by the scan engine.
  bool abortScan = false;
  // Report lines of the current scan run.
  std::string scanReportText;
};
