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

void ActivatePreviousInstance(windows::ApplicationWindow& ownApplicationWindow) {
  const std::wstring versionedCaption = platform::Widen(core::VersionedCaption());
  HWND running = FindRunningCopy(ownApplicationWindow);
  if (running == nullptr) return;
  HWND above = GetWindow(running, GW_HWNDPREV);
  OpenIcon(above);
  SetForegroundWindow(above);
  if (FindWindowW(nullptr, versionedCaption.c_str()) != nullptr) {
    ShowWindow(FindWindowW(nullptr, versionedCaption.c_str()), SW_SHOW);
  }
}


}  // namespace app
