#include "windows/download_window.h"

#include "windows/control_ids.h"

#include "platform/system.h"

namespace windows {
namespace {

constexpr const wchar_t* kProgressClass = L"TallowickParawardenProgress";
constexpr toolkit::TwipsRect kClientTwips = {0, 0, 4425, 1020};

}  // namespace

void DownloadWindow::ShowNow(HWND owner) {
  if (!Exists()) {
    const int dpi = platform::ScreenDpi();
    // CS_NOCLOSE also greys the close box, which some window managers draw
    // even without a Close command.
    RegisterWindowClass(kProgressClass, nullptr, nullptr, GetSysColorBrush(COLOR_BTNFACE), CS_NOCLOSE);
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    CreateCentred(kProgressClass, "Downloading Update", style, WS_EX_DLGMODALFRAME,
                  toolkit::OuterSizeForClient(kClientTwips, dpi, style, WS_EX_DLGMODALFRAME), owner);
    if (!Exists()) return;
    fonts_ = std::make_unique<toolkit::FontSet>(dpi);
    controls_.Create(hwnd(), {{ids::DownloadMessage, toolkit::ControlKind::Label, {1200, 360, 1695, 255}, "Downloading Update"}}, dpi,
                     *fonts_);
  }
  ShowWindow(hwnd(), SW_SHOW);
  toolkit::RemoveCloseMenuItems(hwnd());
  UpdateWindow(hwnd());
}

void DownloadWindow::Close() { DestroyNow(); }

LRESULT DownloadWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Only the download closes this window.
  if (message == WM_CLOSE) return 0;
  return Default(message, wParam, lParam);
}

}  // namespace windows
