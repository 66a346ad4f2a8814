// Process entry: single-instance hand-over, tray window, splash window and
// the start procedure, then the message loop.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/message_box.h"
#include "platform/restore_files.h"
#include "startup/app_identity.h"
#include "startup/command_line.h"
#include "startup/message_loop.h"
#include "startup/program.h"
#include "startup/scan_request.h"
#include "startup/single_instance.h"

namespace {

int Main() {
  // A drive without a disk must not stop a full scan with a system dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  // Made absolute here: the running copy that may do the scan has a current
  // folder of its own.
  std::optional<std::string> scanFolder = startup::ScanFolderArgument(platform::CommandLineArguments());
  if (scanFolder) {
    if (!scanFolder->empty()) scanFolder = platform::FullPath(*scanFolder);
    if (!platform::IsFolder(*scanFolder)) {
      ShowScanFolderMissing(*scanFolder);
      ExitProcess(0);
    }
  }

  // The program's windows live as long as the process; ending the program
  // ends the process without tearing them down one by one.
  auto* program = new Program();
  program->appWindow.Create(app::kTitle);

  platform::UniqueHandle instanceMutex;
  if (AnotherInstanceRunning(instanceMutex)) {
    if (!scanFolder) {
      ActivatePreviousInstance(program->appWindow);
    } else if (!HandScanToPreviousInstance(program->appWindow, *scanFolder)) {
      platform::ShowMessage(nullptr, "Parawarden is running but did not take the scan of \"" + *scanFolder +
                                         "\". Please try again in a moment.",
                            MB_OK | MB_ICONEXCLAMATION);
    }
    ExitProcess(0);
  }
  program->appWindow.SetScanHandler([program](const std::string& folder) { program->frmmain.ScanFolder(folder); });

  program->frmtray.Load();
  program->splash = std::make_unique<frmSplash>(*program);
  program->splash->Load();
  program->splash->Show();
  if (scanFolder) program->appWindow.RequestScan(*scanFolder);
  const int exitCode = RunMessageLoop(*program);
  ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return Main(); }
