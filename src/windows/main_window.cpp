#include "windows/main_window.h"

#include <commctrl.h>

#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"
#include "core/setting_values.h"
#include "features/settings.h"
#include "core/program_identity.h"
#include "windows/program.h"
#include "windows/about_texts.h"
#include "windows/control_ids.h"
#include "windows/main_window_layout.h"
#include "windows/resource_ids.h"
#include "windows/update_prompts.h"
#include "toolkit/busy_pointer.h"
#include "windows/program_icon.h"
#include "toolkit/bitmaps.h"
#include "platform/handles.h"

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

MainWindow::MainWindow(Program& program) : program_(program) {}

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
  controls_.Create(hwnd(), MainWindowControls(), dpi_, *fonts_);

  HWND tabs = Control(ids::SSTab1);
  for (int i = 0; i < 6; ++i) {
    std::wstring caption = platform::Widen(kTabCaptions[i]);
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = &caption[0];
    SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  SetWindowSubclass(tabs, TabsProc, 1, 0);

  statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids::StatusBar1)),
                               GetModuleHandleW(nullptr), nullptr);
  SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->For(toolkit::FontKind::Normal)), FALSE);
  UpdateClock();
  SetTimer(hwnd(), kClockTimer, 1000, nullptr);

  toolkit::SetText(hwnd(), core::VersionedCaption());
  toolkit::SetText(Control(ids::lblappname), core::VersionedCaption());
  toolkit::SetText(Control(ids::lblproginfo), about::kProgInfo);
  toolkit::SetText(Control(ids::lbladdress), about::kAddress);
  toolkit::SetText(Control(ids::lblwarning), about::kLegalNotice);
  toolkit::SetText(Control(ids::lblurl), core::kWebAddress);
  SendMessageW(Control(ids::optfullscan), BM_SETCHECK, BST_CHECKED, 0);
  SelectTab(tabs::Status);

  platform::CreateFolder(platform::AppPath("Quarantine"));
  platform::CreateFolder(platform::AppPath("Reports"));
  RefreshQuarantineLists();
  // The counter is saved whenever this window is closed, also by Exit from
  // the tray while the window was never shown; loading it here keeps that
  // save from overwriting the stored total with 0.
  LoadRemovedObjects();
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
  SendMessageW(Control(ids::SSTab1), TCM_SETCURSEL, index, 0);
  controls_.ShowPage(index);
}

void MainWindow::SelectFullScan() {
  SendMessageW(Control(ids::optfullscan), BM_SETCHECK, BST_CHECKED, 0);
  SendMessageW(Control(ids::optquickscan), BM_SETCHECK, BST_UNCHECKED, 0);
}

bool MainWindow::IsAutoShowTicked() const { return CheckState(ids::chkautoshow) == 1; }

int MainWindow::CheckState(int id) const {
  return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void MainWindow::SetCheckState(int id, int state) {
  SendMessageW(Control(id), BM_SETCHECK, state == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindow::ShowHelpFor(int keyCode) {
  if (keyCode == VK_F1) OnHelpClicked();
}

void MainWindow::OnHelpClicked() { platform::ShellOpen(hwnd(), platform::AppPath("index.html")); }

void MainWindow::OnWebAddressClicked() { platform::OpenDocument(core::kWebAddress); }

void MainWindow::RequestClose() { SaveAndHide(); }

void MainWindow::SaveAndHide() {
  features::SaveRemovedTotal(program_.removedObjects);
  Hide();
}

void MainWindow::OnActivated() {
  RefreshQuarantineLists();
  RefreshStatusOnActivate();
  LoadPreferences();
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
  controls_.ShowPage(static_cast<int>(SendMessageW(Control(ids::SSTab1), TCM_GETCURSEL, 0, 0)));
}

void MainWindow::OnTabsFocused() { RefreshStatusOnTabFocus(); }

void MainWindow::UpdateClock() {
  wchar_t time[64];
  if (GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, time, 64) == 0) return;
  // Two tabs right-align the text in the panel.
  const std::wstring text = std::wstring(L"\t\t") + time;
  SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool MainWindow::HasF1Handler(HWND control) const {
  if (control == hwnd()) return true;
  static const int kWithHandler[] = {
      ids::SSTab1,       ids::FileListQuarantine, ids::cmdstartscan,   ids::optquickscan,
      ids::optfullscan,  ids::cmdselectAll,       ids::cmddeselect,    ids::cmdcheckforupdates,
      ids::CmdCheckForUpdates2, ids::cmdSavePrefs, ids::chkrunonstart, ids::chkscanonstart,
      ids::chkautoupdate, ids::chkuselog,         ids::chkautoshow,
  };
  for (int id : kWithHandler) {
    if (Control(id) == control) return true;
  }
  return false;
}

bool MainWindow::PreTranslateMessage(MSG& msg) {
  if (!Exists() || (msg.hwnd != hwnd() && !IsChild(hwnd(), msg.hwnd))) return false;
  if (msg.message == WM_KEYDOWN && HasF1Handler(msg.hwnd)) ShowHelpFor(static_cast<int>(msg.wParam));
  return toolkit::RouteDialogKeys(hwnd(), msg);
}

void MainWindow::OnActivateMessage(WPARAM wParam, LPARAM lParam) {
  HWND other = reinterpret_cast<HWND>(lParam);
  const bool otherIsOurs = toolkit::IsProgramForm(other);
  if (LOWORD(wParam) == WA_INACTIVE) {
    if (otherIsOurs) isProgramsActiveWindow_ = false;
    HWND focus = GetFocus();
    if (IsChild(hwnd(), focus)) lastFocus_ = focus;
    return;
  }
  returningFromElsewhere_ = isProgramsActiveWindow_ && !otherIsOurs;
  if (returningFromElsewhere_) return;
  isProgramsActiveWindow_ = true;
  OnActivated();
}

void MainWindow::RestoreFocus() {
  HWND target = returningFromElsewhere_ ? lastFocus_ : nullptr;
  if (!IsChild(hwnd(), target) || !IsWindowVisible(target) || !IsWindowEnabled(target)) target = Control(ids::SSTab1);
  if (target != nullptr) SetFocus(target);
}

void MainWindow::OnCommand(int id, int code) {
  switch (id) {
    case ids::cmdstartscan:
      OnScanNowClicked();
      break;
    case ids::cmdSavePrefs:
      OnSaveSettingsClicked();
      break;
    case ids::cmdcheckforupdates:
    case ids::CmdCheckForUpdates2:
      CheckForUpdates(program_, true);
      break;
    case ids::cmdhelp:
      OnHelpClicked();
      break;
    case ids::lblurl:
      if (code == STN_CLICKED) OnWebAddressClicked();
      break;
    case ids::cmdselectAll:
      OnSelectAllClicked();
      break;
    case ids::cmddeselect:
      OnDeselectAllClicked();
      break;
    case ids::cmdPurgeSelected:
      OnDeleteSelectedClicked();
      break;
    default:
      break;
  }
}

LRESULT MainWindow::OnNotify(const NMHDR& header) {
  if (header.idFrom == static_cast<UINT_PTR>(ids::SSTab1)) {
    if (header.code == TCN_SELCHANGE) OnTabChanged();
  }
  return 0;
}

void MainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlID == static_cast<UINT>(ids::Picture1)) toolkit::DrawBitmapStretched(item.hDC, banner_.get(), item.rcItem);
  if (item.CtlID == static_cast<UINT>(ids::Picture2)) toolkit::DrawBitmapStretched(item.hDC, logo_.get(), item.rcItem);
}

HBRUSH MainWindow::PageBackgroundBrush() {
  if (pageBrush_) return pageBrush_.get();
  HWND tabs = Control(ids::SSTab1);
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
  if (control == Control(ids::lblurl)) SetTextColor(dc, RGB(0, 0, 255));
  HBRUSH page = onPage ? PageBackgroundBrush() : nullptr;
  if (page == nullptr) {
    if (control != Control(ids::lblurl)) return Default(message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  // Align the page picture with the control, which sits somewhere on the page.
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, Control(ids::SSTab1), reinterpret_cast<POINT*>(&rect), 2);
  SetBrushOrgEx(dc, -rect.left, -rect.top, nullptr);
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(page);
}

bool MainWindow::OnSetCursor(HWND control) {
  if (control != Control(ids::lblurl)) return false;
  // The hand pointer is missing before Windows 2000; the arrow stands in.
  HCURSOR hand = LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));
  SetCursor(hand != nullptr ? hand : LoadCursorW(nullptr, IDC_ARROW));
  return true;
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
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      const POINT fixed = {toolkit::TwipsToPixels(kMainWidthTwips, dpi_), toolkit::TwipsToPixels(kMainHeightTwips, dpi_)};
      info->ptMinTrackSize = fixed;
      info->ptMaxTrackSize = fixed;
      return 0;
    }
    case WM_CLOSE:
      SaveAndHide();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
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
      if (OnSetCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
      return Default(message, wParam, lParam);
    case WM_CONTEXTMENU:
      if (OnQuarantineContextMenu(reinterpret_cast<HWND>(wParam), lParam)) return 0;
      return Default(message, wParam, lParam);
    case WM_TIMER:
      if (wParam == kClockTimer) UpdateClock();
      return 0;
    case WM_ENDSESSION:
      if (wParam) features::SaveRemovedTotal(program_.removedObjects);
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace windows
