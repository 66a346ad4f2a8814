#include "toolkit/tray_icon.h"

#include <shellapi.h>

#include <cstring>

#include "platform/text.h"

namespace toolkit {

static_assert(sizeof(void*) != 4 || sizeof(NotifyRecord88) == 88, "the record is the 88-byte ANSI layout");

void AddTrayIcon(NotifyRecord88& record, HICON icon, HWND window, const std::string& tip) {
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
  Shell_NotifyIconA(NIM_ADD, reinterpret_cast<NOTIFYICONDATAA*>(&record));
}

void ReAddTrayIcon(NotifyRecord88& record) { Shell_NotifyIconA(NIM_ADD, reinterpret_cast<NOTIFYICONDATAA*>(&record)); }

}  // namespace toolkit
