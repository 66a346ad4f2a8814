// The notification-area icon, added with the shell's original 88-byte ANSI
// record so that it works on every Windows version the program supports.
#pragma once

#include <windows.h>

#include <string>

namespace toolkit {

struct NotifyRecord88 {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  char szTip[64];
};

// Fills the record and adds the icon; the callback arrives as WM_MOUSEMOVE
// with the mouse event code in the low word of lParam. False when the shell
// did not take it (a taskbar still starting at log-on may time out): the
// program runs without one meanwhile.
bool AddTrayIcon(NotifyRecord88& record, HICON icon, HWND window, const std::string& tip);
// Adds the same icon again, after the shell's taskbar was created anew or
// after a failed add; an icon the shell turns out to hold already counts.
bool ReAddTrayIcon(NotifyRecord88& record);
// Shows a balloon with a warning sign from the icon (title up to 63 bytes,
// text up to 255, in the ANSI code page). A click on it arrives as the
// icon's callback with NIN_BALLOONUSERCLICK. Balloons need the shell's
// larger record, which older shells refuse: false there, and on failure.
bool ShowTrayBalloon(const NotifyRecord88& icon, const std::string& title, const std::string& text);

}  // namespace toolkit
