#include "startup/frmSplash.h"

#include <shellapi.h>

#include "platform/files.h"
#include "platform/text.h"
#include "platform/system.h"
#include "startup/app_identity.h"
#include "startup/goahead.h"
#include "startup/program.h"
#include "ui/control_ids.h"
#include "ui/resource_ids.h"

namespace {

constexpr const wchar_t* kSplashClass = L"TallowickParawardenSplash";
constexpr ui::TwipsRect kClientTwips = {0, 0, 7380, 4665};

std::vector<ui::ControlRow> SplashControls() {
  using K = ui::ControlKind;
  using F = ui::FontKind;
  // The picture buttons are owner-drawn push buttons, so keyboard users and
  // screen readers see them as the buttons they are.
  return {
      {ids::splashGeneral, K::Label, {1920, 240, 5055, 375}, "", ui::kNoPage, F::Bold},
      {ids::splashVersion, K::Label, {5160, 1440, 1815, 255}, "", ui::kNoPage, F::Bold},
      {ids::splashAction, K::Label, {1680, 3720, 3615, 255}, ""},
      {ids::splashStart, K::PushButton, {450, 4080, 1950, 420}, "Start Parawarden"},
      {ids::splashLicense, K::PushButton, {2715, 4080, 1950, 420}, "View License"},
      {ids::splashExit, K::PushButton, {4980, 4080, 1950, 420}, "Exit"},
  };
}

HBITMAP LoadBitmapResource(int id) {
  return static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

frmSplash::frmSplash(Program& program) : program_(program) {}

void frmSplash::Load() {
  if (Exists()) return;
  dpi_ = platform::ScreenDpi();
  RegisterWindowClass(kSplashClass, nullptr, nullptr, nullptr);
  const ui::PixelRect client = ui::ToPixels(kClientTwips, dpi_);
  const DWORD style = WS_POPUP | WS_BORDER;
  RECT outer = {0, 0, client.width, client.height};
  AdjustWindowRectEx(&outer, style, FALSE, 0);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const POINT origin = ui::CenteredOrigin(width, height);
  CreateTopLevel(kSplashClass, "", style, 0, origin.x, origin.y, width, height, program_.appWindow.hwnd());
  if (!Exists()) return;
  Form_Load();
}

void frmSplash::Form_Load() {
  fonts_ = std::make_unique<ui::FontSet>(dpi_);
  background_.reset(LoadBitmapResource(IDB_SPLASH));
  startButton_.reset(LoadBitmapResource(IDB_BTN_START));
  licenseButton_.reset(LoadBitmapResource(IDB_BTN_LICENSE));
  exitButton_.reset(LoadBitmapResource(IDB_BTN_EXIT));
  controls_.Create(hwnd(), SplashControls(), dpi_, *fonts_);
  for (int id : {ids::splashStart, ids::splashLicense, ids::splashExit}) {
    HWND button = controls_.Get(id);
    SetWindowLongPtrW(button, GWL_STYLE, (GetWindowLongPtrW(button, GWL_STYLE) & ~BS_TYPEMASK) | BS_OWNERDRAW);
  }
  SetLabel(ids::splashVersion, app::VersionLine());
  SetLabel(ids::splashGeneral, app::kPublisher);
  goahead(program_);
}

void frmSplash::Show() {
  if (!Exists()) return;
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  UpdateWindow(hwnd());
}

bool frmSplash::PreTranslateMessage(MSG& msg) { return ui::RouteDialogKeys(hwnd(), msg); }

// The labels draw no background of their own, so the picture behind them is
// repainted first whenever their text changes.
void frmSplash::SetLabel(int id, const std::string& text) {
  HWND label = controls_.Get(id);
  ui::SetText(label, text);
  RECT rect;
  GetWindowRect(label, &rect);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rect), 2);
  InvalidateRect(hwnd(), &rect, TRUE);
  UpdateWindow(hwnd());
}

void frmSplash::Form_Activate() { SetLabel(ids::splashAction, "Loading Reference file..."); }

void frmSplash::Form_Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd(), &paint);
  RECT client;
  GetClientRect(hwnd(), &client);
  ui::DrawBitmapStretched(dc, background_.get(), client);
  EndPaint(hwnd(), &paint);
}

void frmSplash::Picture2_Click() {
  DestroyNow();
  goahead(program_);
}

void frmSplash::Picture4_Click() {
  ShellExecuteW(hwnd(), L"open", platform::Widen(platform::AppPath("eula.txt")).c_str(), nullptr, nullptr,
                SW_SHOWNORMAL);
}

void frmSplash::Picture5_Click() {
  DestroyNow();
  ExitProcess(0);
}

void frmSplash::OnDrawItem(const DRAWITEMSTRUCT& item) {
  HBITMAP picture = nullptr;
  switch (item.CtlID) {
    case ids::splashStart:
      picture = startButton_.get();
      break;
    case ids::splashLicense:
      picture = licenseButton_.get();
      break;
    case ids::splashExit:
      picture = exitButton_.get();
      break;
    default:
      return;
  }
  RECT target = item.rcItem;
  if (item.itemState & ODS_SELECTED) OffsetRect(&target, 1, 1);
  ui::DrawBitmapStretched(item.hDC, picture, target);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(item.hDC, &focus);
  }
}

LRESULT frmSplash::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) Form_Activate();
      return Default(message, wParam, lParam);
    case WM_SETFOCUS:
      // Enter or Space then starts the program, as the most likely choice.
      SetFocus(controls_.Get(ids::splashStart));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Form_Paint();
      return 0;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, RGB(255, 255, 255));
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return 0;
      // Enter arrives as IDOK: it presses the picture button that has the focus.
      if (LOWORD(wParam) == IDOK && lParam == 0) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd(), focus)) SendMessageW(focus, BM_CLICK, 0, 0);
        return 0;
      }
      switch (LOWORD(wParam)) {
        case ids::splashStart:
          Picture2_Click();
          break;
        case ids::splashLicense:
          Picture4_Click();
          break;
        case ids::splashExit:
          Picture5_Click();
          break;
        default:
          break;
      }
      return 0;
    case WM_CLOSE:
      // Alt+F4 leaves the splash up: its buttons decide how the program goes on.
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}
