// Process entry: single-instance hand-over, tray window, splash window and
// the start sequence, then the message loop.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/scan_handover.h"
#include "app/single_instance.h"
#include "app/start_sequence.h"
#include "core/command_line.h"
#include "core/program_identity.h"
#include "features/check_scan.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/system.h"
#include "windows/message_box.h"
#include "windows/message_loop.h"
#include "windows/modal_loop.h"
#include "windows/program.h"

namespace app {
namespace {

int Main() {
  // A drive without a disk must not stop a full scan with a system dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  const std::vector<std::string> arguments = platform::CommandLineArguments();
  // A check for scripts shows nothing, hands nothing over and may run beside
  // a running copy; a script must never wait on a box, not even a crash's.
  if (const std::optional<core::CheckCommand> check = core::CheckArguments(arguments)) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
    const features::CheckOutcome outcome = features::RunCheck(*check);
    if (!outcome.message.empty()) platform::WriteToParentConsole(outcome.message);
    ExitProcess(static_cast<UINT>(outcome.exitCode));
  }
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  // Made absolute here: the running copy that may do the scan has a current
  // folder of its own.
  std::optional<std::string> scanFolder = core::ScanFolderArgument(arguments);
  if (scanFolder) {
    if (!scanFolder->empty()) scanFolder = platform::FullPath(*scanFolder);
    if (!platform::IsFolder(*scanFolder)) {
      ShowScanFolderMissing(*scanFolder);
      ExitProcess(0);
    }
  }

  // The program's windows live as long as the process; ending the program
  // ends the process without tearing them down one by one.
  auto* program = new windows::Program();
  // Titled as the running copy only once it is that copy: copies started
  // together (Explorer starts one per selected folder) would otherwise find
  // each other and hand their folders to a copy that is about to end.
  program->appWindow.Create(core::kUnwantedInstanceTitle);

  platform::UniqueHandle instanceMutex;
  // A mutex without a running copy's window behind it is held by some other
  // program, spyware that wants no scanner say, which must not keep this one
  // from starting.
  if (AnotherInstanceRunning(instanceMutex) && WaitForRunningCopy(program->appWindow) != nullptr) {
    if (!scanFolder) {
      ActivatePreviousInstance(program->appWindow);
    } else if (!HandScanToPreviousInstance(program->appWindow, *scanFolder)) {
      windows::ShowMessage(nullptr, "Parawarden is running but did not take the scan of \"" + *scanFolder +
                                         "\". Please try again in a moment.",
                            MB_OK | MB_ICONEXCLAMATION);
    }
    ExitProcess(0);
  }
  program->appWindow.SetTitle(core::kTitle);
  program->appWindow.TakeRequests([program](std::string folder) { program->gate.HandOver(std::move(folder)); },
                                  [program] { program->gate.LookAtWaiting(); });
  windows::ModalLoop::AfterLastClosed([program] { program->gate.LookAgainSoon(); });

  program->tray.Load();
  program->splash = std::make_unique<windows::SplashWindow>(program->appWindow.hwnd(),
                                                            [program] { RunStartSequence(*program); });
  program->splash->Load();
  program->splash->Show();
  if (scanFolder) program->gate.HandOver(*scanFolder);
  const int exitCode = windows::RunMessageLoop(*program);
  ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace
}  // namespace app

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return app::Main(); }
