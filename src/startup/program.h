// The program's windows and the few values the whole program shares. One
// instance lives for the run of the process, created by Main.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

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

  // Total of objects removed, loaded from and saved to the settings store.
  int32_t removedObjects = 0;
  // Set by the scan window's Abort button, tested by the scan engine.
  bool abortScan = false;
  // Report lines of the current scan run.
  std::string scanReportText;
};
