#include "toolkit/tray_icon.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstring>

#include "platform/system_function.h"
#include "platform/text.h"

namespace toolkit {

static_assert(sizeof(void*) != 4 || sizeof(NotifyRecord88) == 88, "the record is the 88-byte ANSI layout");

namespace {

// Balloons came with version 5 of the shell's library; an older shell
// knows only the 88-byte record.
bool ShellShowsBalloons() {
  using GetVersion = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
  const auto getVersion = platform::SystemFunction<GetVersion>(L"shell32.dll", "DllGetVersion");
  if (getVersion == nullptr) return false;
  DLLVERSIONINFO info = {};
  info.cbSize = sizeof info;
  return SUCCEEDED(getVersion(&info)) && info.dwMajorVersion >= 5;
}

// The text in the ANSI code page, cut to the field with a final NUL.
template <size_t N>
void CopyAnsi(char (&field)[N], const std::string& utf8) {
  const std::string ansi = platform::Utf8ToAnsi(utf8).substr(0, N - 1);
  std::memcpy(field, ansi.c_str(), ansi.size() + 1);
}

}  // namespace

bool ShowTrayBalloon(const NotifyRecord88& icon, const std::string& title, const std::string& text) {
  if (!ShellShowsBalloons()) return false;
  // The larger record of the shells with balloons, without the fields that
  // came after them.
  NOTIFYICONDATAA balloon = {};
  balloon.cbSize = NOTIFYICONDATAA_V2_SIZE;
  balloon.hWnd = icon.hWnd;
  balloon.uID = icon.uID;
  balloon.uFlags = NIF_INFO;
  CopyAnsi(balloon.szInfoTitle, title);
  CopyAnsi(balloon.szInfo, text);
  balloon.uTimeout = 10000;
  balloon.dwInfoFlags = NIIF_WARNING;
  return Shell_NotifyIconA(NIM_MODIFY, &balloon) != FALSE;
}

bool AddTrayIcon(NotifyRecord88& record, HICON icon, HWND window, const std::string& tip) {
  std::memset(&record, 0, sizeof record);
  record.cbSize = sizeof record;
  record.hIcon = icon;
  record.hWnd = window;
  // The tip is followed by one NUL and the rest of the field is blanks.
  std::string ansiTip = platform::Utf8ToAnsi(tip).substr(0, sizeof record.szTip - 1);
  std::memset(record.szTip, ' ', sizeof record.szTip);
  std::memcpy(record.szTip, ansiTip.c_str(), ansiTip.size() + 1);
  record.uCallbackMessage = WM_MOUSEMOVE;
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uID = 1;
  return Shell_NotifyIconA(NIM_ADD, reinterpret_cast<NOTIFYICONDATAA*>(&record)) != FALSE;
}

bool ReAddTrayIcon(NotifyRecord88& record) {
  auto* data = reinterpret_cast<NOTIFYICONDATAA*>(&record);
  // An add that timed out may have reached the shell all the same.
  return Shell_NotifyIconA(NIM_ADD, data) != FALSE || Shell_NotifyIconA(NIM_MODIFY, data) != FALSE;
}

}  // namespace toolkit
