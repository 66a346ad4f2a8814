#include "windows/splash_window.h"

#include "core/program_identity.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/system.h"
#include "platform/text.h"
#include "toolkit/bitmaps.h"
#include "windows/control_ids.h"
#include "windows/resource_ids.h"

namespace windows {
namespace {

constexpr const wchar_t* kSplashClass = L"TallowickParawardenSplash";
constexpr toolkit::TwipsRect kClientTwips = {0, 0, 7380, 4665};

}  // namespace

SplashWindow::SplashWindow(HWND owner, std::function<void()> startSequence)
    : owner_(owner), startSequence_(std::move(startSequence)) {}

std::vector<toolkit::ControlRow> SplashWindow::Rows() {
  using K = toolkit::ControlKind;
  using F = toolkit::FontKind;
  using Row = toolkit::ControlRow;
  // The picture buttons are owner-drawn push buttons, so keyboard users and
  // screen readers see them as the buttons they are.
  return {
      {ids::SplashPublisher, K::Label, {1920, 240, 5055, 375}, "", toolkit::kNoPage, F::Bold},
      {ids::SplashVersion, K::Label, {5160, 1440, 1815, 255}, "", toolkit::kNoPage, F::Bold},
      {ids::SplashAction, K::Label, {1680, 3720, 3615, 255}, ""},
      Row{ids::SplashStart, K::PushButton, {450, 4080, 1950, 420}, "Start Parawarden"}.Runs([this] { OnStartClicked(); }),
      Row{ids::SplashLicense, K::PushButton, {2715, 4080, 1950, 420}, "View License"}.Runs(
          [this] { OnViewLicenseClicked(); }),
      Row{ids::SplashExit, K::PushButton, {4980, 4080, 1950, 420}, "Exit"}.Runs([this] { OnExitClicked(); }),
  };
}

void SplashWindow::Load() {
  if (Exists()) return;
  dpi_ = platform::ScreenDpi();
  RegisterWindowClass(kSplashClass, nullptr, nullptr, nullptr);
  const DWORD style = WS_POPUP | WS_BORDER;
  CreateCentred(kSplashClass, "", style, 0, toolkit::OuterSizeForClient(kClientTwips, dpi_, style, 0),
                owner_);
  if (!Exists()) return;
  CreateContent();
}

void SplashWindow::CreateContent() {
  fonts_ = std::make_unique<toolkit::FontSet>(dpi_);
  background_.reset(toolkit::LoadBitmapResource(IDB_SPLASH));
  startButton_.reset(toolkit::LoadBitmapResource(IDB_BTN_START));
  licenseButton_.reset(toolkit::LoadBitmapResource(IDB_BTN_LICENSE));
  exitButton_.reset(toolkit::LoadBitmapResource(IDB_BTN_EXIT));
  controls_.Create(hwnd(), Rows(), dpi_, *fonts_);
  for (int id : {ids::SplashStart, ids::SplashLicense, ids::SplashExit}) {
    HWND button = controls_.Get(id);
    SetWindowLongPtrW(button, GWL_STYLE, (GetWindowLongPtrW(button, GWL_STYLE) & ~BS_TYPEMASK) | BS_OWNERDRAW);
  }
  SetLabel(ids::SplashVersion, core::VersionLine());
  SetLabel(ids::SplashPublisher, core::kPublisher);
  startSequence_();
}

void SplashWindow::Show() {
  if (!Exists()) return;
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  UpdateWindow(hwnd());
}

bool SplashWindow::PreTranslateMessage(MSG& msg) { return toolkit::RouteDialogKeys(hwnd(), msg); }

// The labels draw no background of their own, so the picture behind them is
// repainted first whenever their text changes.
void SplashWindow::SetLabel(int id, const std::string& text) {
  HWND label = controls_.Get(id);
  toolkit::SetText(label, text);
  RECT rect;
  GetWindowRect(label, &rect);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rect), 2);
  InvalidateRect(hwnd(), &rect, TRUE);
  UpdateWindow(hwnd());
}

void SplashWindow::OnActivated() { SetLabel(ids::SplashAction, "Loading Reference file..."); }

void SplashWindow::OnPaint() {
  const platform::PaintDC paint(hwnd());
  RECT client;
  GetClientRect(hwnd(), &client);
  toolkit::DrawBitmapStretched(paint.get(), background_.get(), client);
}

void SplashWindow::OnStartClicked() {
  DestroyNow();
  startSequence_();
}

void SplashWindow::OnViewLicenseClicked() {
  platform::ShellOpen(hwnd(), platform::AppPath("eula.txt"));
}

void SplashWindow::OnExitClicked() {
  DestroyNow();
  ExitProcess(0);
}

void SplashWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  HBITMAP picture = nullptr;
  switch (item.CtlID) {
    case ids::SplashStart:
      picture = startButton_.get();
      break;
    case ids::SplashLicense:
      picture = licenseButton_.get();
      break;
    case ids::SplashExit:
      picture = exitButton_.get();
      break;
    default:
      return;
  }
  RECT target = item.rcItem;
  if (item.itemState & ODS_SELECTED) OffsetRect(&target, 1, 1);
  toolkit::DrawBitmapStretched(item.hDC, picture, target);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(item.hDC, &focus);
  }
}

LRESULT SplashWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) OnActivated();
      return Default(message, wParam, lParam);
    case WM_SETFOCUS:
      // Enter or Space then starts the program, as the most likely choice.
      SetFocus(controls_.Get(ids::SplashStart));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPaint();
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
      controls_.RunClick(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CLOSE:
      // Alt+F4 leaves the splash up: its buttons decide how the program goes on.
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace windows
