#include "startup/single_instance.h"

#include <windows.h>

#include "platform/text.h"
#include "startup/app_identity.h"
#include "startup/application_window.h"

bool AnotherInstanceRunning(platform::UniqueHandle& mutex) {
  mutex.reset(CreateMutexW(nullptr, FALSE, L"TallowickParawarden.SingleInstance"));
  return mutex && GetLastError() == ERROR_ALREADY_EXISTS;
}

void ActivatePreviousInstance(ApplicationWindow& ownApplicationWindow) {
  const std::string title = app::kTitle;
  const std::wstring versionedCaption = platform::Widen(app::VersionedCaption());
  // Renamed first, so that the search below can only find the other copy.
  ownApplicationWindow.SetTitle(app::kUnwantedInstanceTitle);
  HWND running = FindWindowW(platform::Widen(app::kApplicationWindowClass).c_str(), platform::Widen(title).c_str());
  if (running == nullptr) return;
  HWND above = GetWindow(running, GW_HWNDPREV);
  OpenIcon(above);
  SetForegroundWindow(above);
  if (FindWindowW(nullptr, versionedCaption.c_str()) != nullptr) {
    ShowWindow(FindWindowW(nullptr, versionedCaption.c_str()), SW_SHOW);
  }
}
