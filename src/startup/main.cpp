// Process entry: single-instance hand-over, tray window, splash window and
// the start procedure, then the message loop.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "startup/app_identity.h"
#include "startup/message_loop.h"
#include "startup/program.h"
#include "startup/single_instance.h"

namespace {

int Main() {
  // A drive without a disk must not stop a full scan with a system dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  // The program's windows live as long as the process; ending the program
  // ends the process without tearing them down one by one.
  auto* program = new Program();
  program->appWindow.Create(app::kTitle);

  platform::UniqueHandle instanceMutex;
  if (AnotherInstanceRunning(instanceMutex)) {
    ActivatePreviousInstance(program->appWindow);
    ExitProcess(0);
  }

  program->frmtray.Load();
  program->splash = std::make_unique<frmSplash>(*program);
  program->splash->Load();
  program->splash->Show();
  const int exitCode = RunMessageLoop(*program);
  ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return Main(); }
