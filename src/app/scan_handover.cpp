#include "app/scan_handover.h"

#include <windows.h>

#include "app/single_instance.h"
#include "core/program_identity.h"
#include "platform/text.h"
#include "windows/application_window.h"
#include "windows/message_box.h"

namespace app {

void ShowScanFolderMissing(const std::string& folder) {
  const std::string text =
      folder.empty() ? "Name the folder or drive to scan, for example:\r\nParawarden.exe /scan \"C:\\Downloads\""
                     : "The folder \"" + folder + "\" cannot be found, so it was not scanned.";
  windows::ShowMessage(nullptr, text, MB_OK | MB_ICONEXCLAMATION);
}

bool HandScanToPreviousInstance(windows::ApplicationWindow& ownApplicationWindow, const std::string& folder) {
  HWND running = FindRunningCopy(ownApplicationWindow);
  if (running == nullptr) return false;
  // The running copy brings its scan window forward, which Windows allows
  // only with the foreground right this process holds.
  DWORD processId = 0;
  GetWindowThreadProcessId(running, &processId);
  AllowSetForegroundWindow(processId);
  COPYDATASTRUCT data = {};
  data.dwData = windows::ApplicationWindow::kScanRequestTag;
  data.cbData = static_cast<DWORD>(folder.size());
  data.lpData = const_cast<char*>(folder.data());
  DWORD_PTR accepted = 0;
  return SendMessageTimeoutW(running, WM_COPYDATA, reinterpret_cast<WPARAM>(ownApplicationWindow.hwnd()),
                             reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000, &accepted) != 0 &&
         accepted == TRUE;
}


}  // namespace app
