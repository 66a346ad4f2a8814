#include "platform/system.h"

#include <shellapi.h>

#include <cstring>

#include "platform/handles.h"
#include "platform/text.h"

namespace platform {

int32_t OsPlatformId() {
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  std::memset(info.szCSDVersion, ' ', sizeof info.szCSDVersion);
  static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record is 148 bytes");
  // The result is deliberately not looked at: a failed call leaves the zeroed
  // platform field, which reads as "not recognised".
  GetVersionExA(&info);
  return static_cast<int32_t>(info.dwPlatformId);
}

std::string WindowsDirectory() {
  wchar_t buffer[MAX_PATH + 1];
  const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return std::string();
  return Narrow(std::wstring_view(buffer, length));
}

std::string SystemDirectory() {
  wchar_t buffer[MAX_PATH + 1];
  const UINT length = GetSystemDirectoryW(buffer, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return std::string();
  return Narrow(std::wstring_view(buffer, length));
}

void OpenDocument(const std::string& target) {
  ShellExecuteW(nullptr, nullptr, Widen(target).c_str(), nullptr, L"C:\\", SW_SHOWNORMAL);
}

void ShellOpen(HWND owner, const std::string& path) {
  ShellExecuteW(owner, L"open", Widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

int ScreenDpi() {
  ScreenDC dc;
  const int dpi = dc.get() != nullptr ? GetDeviceCaps(dc.get(), LOGPIXELSX) : 0;
  return dpi > 0 ? dpi : 96;
}

}  // namespace platform
