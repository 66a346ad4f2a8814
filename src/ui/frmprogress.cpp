#include "ui/frmprogress.h"

#include "platform/system.h"

namespace ui {
namespace {

constexpr const wchar_t* kProgressClass = L"TallowickParawardenProgress";
constexpr TwipsRect kClientTwips = {0, 0, 4425, 1020};
constexpr int kLabel1 = 5001;

}  // namespace

void frmprogress::ShowNow(HWND owner) {
  if (!Exists()) {
    const int dpi = platform::ScreenDpi();
    // CS_NOCLOSE also greys the close box, which some window managers draw
    // even without a Close command.
    RegisterWindowClass(kProgressClass, nullptr, nullptr, GetSysColorBrush(COLOR_BTNFACE), CS_NOCLOSE);
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const PixelRect client = ToPixels(kClientTwips, dpi);
    RECT outer = {0, 0, client.width, client.height};
    AdjustWindowRectEx(&outer, style, FALSE, WS_EX_DLGMODALFRAME);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const POINT origin = CenteredOrigin(width, height);
    CreateTopLevel(kProgressClass, "Downloading Update", style, WS_EX_DLGMODALFRAME, origin.x, origin.y, width,
                   height, owner);
    if (!Exists()) return;
    fonts_ = std::make_unique<FontSet>(dpi);
    controls_.Create(hwnd(), {{kLabel1, ControlKind::Label, {1200, 360, 1695, 255}, "Downloading Update"}}, dpi,
                     *fonts_);
  }
  ShowWindow(hwnd(), SW_SHOW);
  RemoveCloseMenuItems(hwnd());
  UpdateWindow(hwnd());
}

void frmprogress::Close() { DestroyNow(); }

LRESULT frmprogress::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Only the download closes this window.
  if (message == WM_CLOSE) return 0;
  return Default(message, wParam, lParam);
}

}  // namespace ui
