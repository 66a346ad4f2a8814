#include "app/single_instance.h"

#include <windows.h>

#include "core/program_identity.h"
#include "platform/text.h"
#include "windows/application_window.h"

namespace app {

bool AnotherInstanceRunning(platform::UniqueHandle& mutex) {
  mutex.reset(CreateMutexW(nullptr, FALSE, L"TallowickParawarden.SingleInstance"));
  return mutex && GetLastError() == ERROR_ALREADY_EXISTS;
}

HWND FindRunningCopy(windows::ApplicationWindow& ownApplicationWindow) {
  // Renamed first, so that the search can only find the other copy.
  ownApplicationWindow.SetTitle(core::kUnwantedInstanceTitle);
  return FindWindowW(platform::Widen(core::kApplicationWindowClass).c_str(), platform::Widen(core::kTitle).c_str());
}

HWND WaitForRunningCopy(windows::ApplicationWindow& ownApplicationWindow) {
  // A copy that has just taken the mutex titles its window a moment later.
  constexpr int kStepMs = 50;
  constexpr int kPatienceMs = 1000;
  for (int waited = 0;; waited += kStepMs) {
    HWND running = FindRunningCopy(ownApplicationWindow);
    if (running != nullptr || waited >= kPatienceMs) return running;
    Sleep(kStepMs);
  }
}

void ActivatePreviousInstance(windows::ApplicationWindow& ownApplicationWindow) {
  const std::wstring versionedCaption = platform::Widen(core::VersionedCaption());
  HWND running = FindRunningCopy(ownApplicationWindow);
  if (running == nullptr) return;
  HWND above = GetWindow(running, GW_HWNDPREV);
  OpenIcon(above);
  SetForegroundWindow(above);
  HWND main = FindWindowW(nullptr, versionedCaption.c_str());
  if (main != nullptr) {
    // Shown alone, a window the user minimised would stay a button.
    ShowWindow(main, IsIconic(main) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(main);
  }
}


}  // namespace app
