#include "toolkit/window.h"

#include "platform/text.h"

namespace toolkit {

Window::~Window() { DestroyNow(); }

void Window::RegisterWindowClass(const wchar_t* className, HICON icon, HICON smallIcon, HBRUSH background,
                                 UINT style) {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &existing)) return;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS | style;
  wc.lpfnWndProc = StaticWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = icon;
  wc.hIconSm = smallIcon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  RegisterClassExW(&wc);
}

HWND Window::CreateTopLevel(const wchar_t* className, const std::string& caption, DWORD style, DWORD exStyle, int x,
                            int y, int width, int height, HWND owner) {
  return CreateWindowExW(exStyle, className, platform::Widen(caption).c_str(), style, x, y, width, height, owner,
                         nullptr, GetModuleHandleW(nullptr), this);
}

void Window::DestroyNow() {
  if (hwnd_ != nullptr) {
    HWND doomed = hwnd_;
    DestroyWindow(doomed);
    hwnd_ = nullptr;
  }
}

void Window::BindCommand(int id, std::function<void()> handler) { commands_[id] = std::move(handler); }

bool Window::RunCommand(int id) {
  const auto found = commands_.find(id);
  if (found == commands_.end()) return false;
  // A copy: the handler may rebind, or destroy the window.
  const std::function<void()> handler = found->second;
  handler();
  return true;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT Window::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* self = nullptr;
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    self = static_cast<Window*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  const LRESULT result = self->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

namespace {

POINT CenteredOrigin(int width, int height) {
  RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  POINT origin = {work.left + ((work.right - work.left) - width) / 2, work.top + ((work.bottom - work.top) - height) / 2};
  if (origin.x < work.left) origin.x = work.left;
  if (origin.y < work.top) origin.y = work.top;
  return origin;
}

}  // namespace

HWND Window::CreateCentred(const wchar_t* className, const std::string& caption, DWORD style, DWORD exStyle,
                           SIZE outer, HWND owner) {
  const POINT origin = CenteredOrigin(outer.cx, outer.cy);
  return CreateTopLevel(className, caption, style, exStyle, origin.x, origin.y, outer.cx, outer.cy, owner);
}

SIZE OuterSizeForClient(const TwipsRect& client, int dpi, DWORD style, DWORD exStyle) {
  const PixelRect pixels = ToPixels(client, dpi);
  RECT outer = {0, 0, pixels.width, pixels.height};
  AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  return {outer.right - outer.left, outer.bottom - outer.top};
}


bool IsProgramForm(HWND hwnd) {
  if (hwnd == nullptr) return false;
  DWORD processId = 0;
  GetWindowThreadProcessId(hwnd, &processId);
  if (processId != GetCurrentProcessId()) return false;
  wchar_t className[64] = {};
  GetClassNameW(hwnd, className, 64);
  return className[0] != L'#';
}


void NoteFocusOnLeaving(HWND window, WPARAM activation, HWND& lastFocus) {
  if (LOWORD(activation) != WA_INACTIVE) return;
  HWND focus = GetFocus();
  if (IsChild(window, focus)) lastFocus = focus;
}

void FocusControl(HWND window, HWND preferred, HWND fallback) {
  const bool usable = IsChild(window, preferred) && IsWindowVisible(preferred) && IsWindowEnabled(preferred);
  HWND target = usable ? preferred : fallback;
  if (target != nullptr) SetFocus(target);
}

bool PressFocusedButtonOnEnter(HWND window, WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) != IDOK || lParam != 0) return false;
  HWND focus = GetFocus();
  wchar_t className[16] = {};
  if (IsChild(window, focus) && GetClassNameW(focus, className, 16) != 0 && lstrcmpiW(className, L"Button") == 0) {
    const LONG_PTR type = GetWindowLongPtrW(focus, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) SendMessageW(focus, BM_CLICK, 0, 0);
  }
  return true;
}

bool RouteDialogKeys(HWND window, MSG& msg) {
  if (window == nullptr || (msg.hwnd != window && !IsChild(window, msg.hwnd))) return false;
  return IsDialogMessageW(window, &msg) != FALSE;
}

void RemoveCloseMenuItems(HWND hwnd) {
  HMENU menu = GetSystemMenu(hwnd, FALSE);
  const int count = GetMenuItemCount(menu);
  RemoveMenu(menu, count - 1, MF_BYPOSITION);
  RemoveMenu(menu, count - 2, MF_BYPOSITION);
  DrawMenuBar(hwnd);
}

}  // namespace toolkit
