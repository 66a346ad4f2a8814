#include "windows/main_window.h"

#include <commctrl.h>

#include "core/program_identity.h"
#include "core/setting_values.h"
#include "features/quarantine_records.h"
#include "features/settings.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/system.h"
#include "platform/text.h"
#include "toolkit/bitmaps.h"
#include "toolkit/busy_pointer.h"
#include "windows/control_ids.h"
#include "windows/guard_control.h"
#include "windows/main_window_layout.h"
#include "windows/program.h"
#include "windows/program_icon.h"
#include "windows/resource_ids.h"
#include "windows/update_prompts.h"
#include "windows/updates_page.h"

namespace windows {
namespace {

constexpr const wchar_t* kMainClass = L"TallowickParawardenMain";
constexpr UINT_PTR kClockTimer = 1;
// Sent to the main window when its tab control receives the keyboard focus;
// the control itself does not report that.
constexpr UINT kTabsGotFocus = WM_APP + 1;

// The tab control lies under the controls of its pages; letting the mouse
// fall through its page area makes those controls clickable while the tab
// control keeps its place first in the keyboard order.
LRESULT CALLBACK TabsProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_SETFOCUS) {
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    SendMessageW(GetParent(hwnd), kTabsGotFocus, 0, 0);
    return result;
  }
  if (message == WM_NCHITTEST) {
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ScreenToClient(hwnd, &point);
    RECT page;
    GetClientRect(hwnd, &page);
    SendMessageW(hwnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    if (PtInRect(&page, point)) return HTTRANSPARENT;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

MainWindow::MainWindow(Program& program)
    : program_(program), quarantine_(controls_, *this, program.gate, [this](const std::string& path) { OnRestored(path); }) {}

void MainWindow::Load() {
  if (Exists()) return;
  dpi_ = platform::ScreenDpi();
  RegisterWindowClass(kMainClass, ProgramIcon(false), ProgramIcon(true), GetSysColorBrush(COLOR_BTNFACE));
  CreateCentred(kMainClass, core::VersionedCaption(),
                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, WS_EX_APPWINDOW,
                {toolkit::TwipsToPixels(kMainWidthTwips, dpi_), toolkit::TwipsToPixels(kMainHeightTwips, dpi_)},
                program_.appWindow.hwnd());
  if (!Exists()) return;
  CreateContent();
}

void MainWindow::CreateContent() {
  // Every step is attempted; a step that fails is passed over.
  fixedHeight_ = kMainHeightTwips;
  fixedWidth_ = kMainWidthTwips;
  fonts_ = std::make_unique<toolkit::FontSet>(dpi_);
  banner_.reset(toolkit::LoadBitmapResource(IDB_BANNER));
  logo_.reset(toolkit::LoadBitmapResource(IDB_LOGO));
  const auto checkForUpdates = [this] { CheckForUpdates(program_, true); };
  controls_.Create(hwnd(),
                   MainWindowControls({StatusPage::Rows(), ScanPage::Rows([this] { OnScanNowClicked(); }),
                                       quarantine_.Rows(), UpdatesPage::Rows(checkForUpdates), settings_.Rows([this] { FollowGuardSetting(program_); }),
                                       about_.Rows(checkForUpdates)}),
                   dpi_, *fonts_);

  HWND tabs = Control(ids::MainTabs);
  for (int i = 0; i < 6; ++i) {
    std::wstring caption = platform::Widen(kTabCaptions[i]);
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = &caption[0];
    SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  SetWindowSubclass(tabs, TabsProc, 1, 0);

  statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids::MainStatusBar)),
                               GetModuleHandleW(nullptr), nullptr);
  SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->For(toolkit::FontKind::Normal)), FALSE);
  UpdateClock();
  SetTimer(hwnd(), kClockTimer, 1000, nullptr);

  toolkit::SetText(hwnd(), core::VersionedCaption());
  about_.FillTexts();
  settings_.FillChoices();
  scan_.ChooseFullScan();
  SelectTab(tabs::Status);

  features::PrepareProgramFolders();
  quarantine_.RefreshLists();
}

void MainWindow::Show() {
  if (!Exists()) Load();
  ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd());
}

void MainWindow::Hide() {
  if (Exists()) ShowWindow(hwnd(), SW_HIDE);
}

bool MainWindow::IsVisible() const { return Exists() && IsWindowVisible(hwnd()); }

void MainWindow::SelectTab(int index) {
  SendMessageW(Control(ids::MainTabs), TCM_SETCURSEL, index, 0);
  controls_.ShowPage(index);
}


bool MainWindow::IsAutoShowTicked() const { return settings_.ShowMainWindowTicked(); }

void MainWindow::LoadPreferences() { settings_.LoadPreferences(); }

void MainWindow::RequestClose() { SaveAndHide(); }

void MainWindow::SaveAndHide() {
  program_.removedTotal.Store();
  Hide();
}

void MainWindow::OnActivated() {
  quarantine_.RefreshLists();
  status_.ShowDefinitions(program_.definitions.list());
  status_.ShowRemovedTotal(program_.removedTotal.value());
  settings_.LoadPreferences();
}

void MainWindow::KeepFixedSize() {
  if (enforcingSize_ || IsIconic(hwnd())) return;
  const int width = toolkit::TwipsToPixels(fixedWidth_, dpi_);
  const int height = toolkit::TwipsToPixels(fixedHeight_, dpi_);
  RECT rect;
  GetWindowRect(hwnd(), &rect);
  if (rect.right - rect.left == width && rect.bottom - rect.top == height) return;
  enforcingSize_ = true;
  SetWindowPos(hwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  enforcingSize_ = false;
}

void MainWindow::OnTabChanged() {
  controls_.ShowPage(static_cast<int>(SendMessageW(Control(ids::MainTabs), TCM_GETCURSEL, 0, 0)));
}

void MainWindow::OnRestored(const std::string& path) {
  if (program_.guard) program_.guard->Pass(path);
}

void MainWindow::OnTabsFocused() {
  // Re-reads the quarantine folder, so the figure the status shows is
  // current rather than as old as the last activation.
  quarantine_.RefreshCount();
  status_.ShowFigures(program_.definitions.list(), quarantine_.count());
}

void MainWindow::UpdateClock() {
  wchar_t time[64];
  if (GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, time, 64) == 0) return;
  // Two tabs right-align the text in the panel.
  const std::wstring text = std::wstring(L"\t\t") + time;
  SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool MainWindow::PreTranslateMessage(MSG& msg) {
  if (settings_.PreTranslateMessage(msg)) return true;
  if (!Exists() || (msg.hwnd != hwnd() && !IsChild(hwnd(), msg.hwnd))) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1 && (msg.hwnd == hwnd() || controls_.HasHelp(msg.hwnd))) about_.OnHelpClicked();
  return toolkit::RouteDialogKeys(hwnd(), msg);
}

void MainWindow::OnActivateMessage(WPARAM wParam, LPARAM lParam) {
  HWND other = reinterpret_cast<HWND>(lParam);
  // The Exclusions window belongs to the Settings tab, as a message box
  // would: coming back from it is no new activation, which would put back
  // the stored settings over the ones the user is changing.
  const bool otherIsOurs = toolkit::IsProgramForm(other) && !settings_.IsToolWindow(other);
  if (LOWORD(wParam) == WA_INACTIVE) {
    if (otherIsOurs) isProgramsActiveWindow_ = false;
    toolkit::NoteFocusOnLeaving(hwnd(), wParam, lastFocus_);
    return;
  }
  returningFromElsewhere_ = isProgramsActiveWindow_ && !otherIsOurs;
  if (returningFromElsewhere_) return;
  isProgramsActiveWindow_ = true;
  OnActivated();
}

void MainWindow::RestoreFocus() {
  toolkit::FocusControl(hwnd(), returningFromElsewhere_ ? lastFocus_ : nullptr, Control(ids::MainTabs));
}

LRESULT MainWindow::OnNotify(const NMHDR& header) {
  if (header.idFrom == static_cast<UINT_PTR>(ids::MainTabs)) {
    if (header.code == TCN_SELCHANGE) OnTabChanged();
  }
  return 0;
}

void MainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlID == static_cast<UINT>(ids::MainBanner)) toolkit::DrawBitmapStretched(item.hDC, banner_.get(), item.rcItem);
  if (item.CtlID == static_cast<UINT>(ids::AboutLogo)) toolkit::DrawBitmapStretched(item.hDC, logo_.get(), item.rcItem);
}

HBRUSH MainWindow::PageBackgroundBrush() {
  if (pageBrush_) return pageBrush_.get();
  HWND tabs = Control(ids::MainTabs);
  RECT client;
  GetClientRect(tabs, &client);
  const platform::WindowDC tabsDC(tabs);
  if (tabsDC.get() == nullptr) return nullptr;
  const platform::MemoryDC memory(tabsDC.get());
  pageBitmap_.reset(CreateCompatibleBitmap(tabsDC.get(), client.right, client.bottom));
  if (memory.get() == nullptr || !pageBitmap_) return nullptr;
  {
    const platform::SelectedObject selected(memory.get(), pageBitmap_.get());
    SendMessageW(tabs, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT | PRF_ERASEBKGND);
  }
  pageBrush_.reset(CreatePatternBrush(pageBitmap_.get()));
  return pageBrush_.get();
}

LRESULT MainWindow::OnCtlColor(UINT message, HDC dc, HWND control) {
  const bool onPage = controls_.PageOf(control) != toolkit::kNoPage;
  const bool webAddress = about_.IsWebAddress(control);
  if (webAddress) SetTextColor(dc, RGB(0, 0, 255));
  HBRUSH page = onPage ? PageBackgroundBrush() : nullptr;
  if (page == nullptr) {
    if (!webAddress) return Default(message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  // Align the page picture with the control, which sits somewhere on the page.
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, Control(ids::MainTabs), reinterpret_cast<POINT*>(&rect), 2);
  SetBrushOrgEx(dc, -rect.left, -rect.top, nullptr);
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(page);
}

void MainWindow::KeepToFixedSize(MINMAXINFO& info) const {
  const POINT fixed = {toolkit::TwipsToPixels(kMainWidthTwips, dpi_), toolkit::TwipsToPixels(kMainHeightTwips, dpi_)};
  info.ptMinTrackSize = fixed;
  info.ptMaxTrackSize = fixed;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      OnActivateMessage(wParam, lParam);
      return Default(message, wParam, lParam);
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_SHOWWINDOW:
      if (!wParam) isProgramsActiveWindow_ = false;
      return Default(message, wParam, lParam);
    case WM_SIZE:
      if (statusBar_ != nullptr) SendMessageW(statusBar_, WM_SIZE, 0, 0);
      if (wParam == SIZE_RESTORED) KeepFixedSize();
      return 0;
    case WM_GETMINMAXINFO:
      KeepToFixedSize(*reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case WM_CLOSE:
      SaveAndHide();
      return 0;
    case WM_COMMAND:
      if (toolkit::PressFocusedButtonOnEnter(hwnd(), wParam, lParam)) return 0;
      controls_.RunClick(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case kTabsGotFocus:
      OnTabsFocused();
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnCtlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
      pageBrush_.reset();
      pageBitmap_.reset();
      return Default(message, wParam, lParam);
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && toolkit::ShowBusyPointer()) return TRUE;
      if (about_.OnSetCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
      return Default(message, wParam, lParam);
    case WM_CONTEXTMENU:
      if (quarantine_.OnContextMenu(reinterpret_cast<HWND>(wParam), lParam)) return 0;
      return Default(message, wParam, lParam);
    case WM_TIMER:
      if (wParam == kClockTimer) UpdateClock();
      return 0;
    case WM_ENDSESSION:
      if (wParam) program_.removedTotal.Store();
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace windows
