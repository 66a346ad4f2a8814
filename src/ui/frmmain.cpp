#include "ui/frmmain.h"

#include <commctrl.h>

#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"
#include "settings/setting_values.h"
#include "settings/settings_store.h"
#include "startup/app_identity.h"
#include "startup/program.h"
#include "ui/about_texts.h"
#include "ui/control_ids.h"
#include "ui/frmmain_layout.h"
#include "ui/resource_ids.h"
#include "update/check_for_updates.h"

namespace ui {
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

HBITMAP LoadBitmapResource(int id) {
  return static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

frmmain::frmmain(Program& program) : program_(program) {}

void frmmain::Load() {
  if (Exists()) return;
  dpi_ = platform::ScreenDpi();
  RegisterWindowClass(kMainClass, LoadProgramIcon(false), LoadProgramIcon(true), GetSysColorBrush(COLOR_BTNFACE));
  const int width = TwipsToPixels(kMainWidthTwips, dpi_);
  const int height = TwipsToPixels(kMainHeightTwips, dpi_);
  const POINT origin = CenteredOrigin(width, height);
  CreateTopLevel(kMainClass, app::VersionedCaption(),
                 WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, WS_EX_APPWINDOW,
                 origin.x, origin.y, width, height, program_.appWindow.hwnd());
  if (!Exists()) return;
  Form_Load();
}

void frmmain::Form_Load() {
  // Every step is attempted; a step that fails is passed over.
  fixedHeight_ = kMainHeightTwips;
  fixedWidth_ = kMainWidthTwips;
  fonts_ = std::make_unique<FontSet>(dpi_);
  banner_.reset(LoadBitmapResource(IDB_BANNER));
  logo_.reset(LoadBitmapResource(IDB_LOGO));
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
  SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->For(FontKind::Normal)), FALSE);
  UpdateClock();
  SetTimer(hwnd(), kClockTimer, 1000, nullptr);

  SetText(hwnd(), app::VersionedCaption());
  SetText(Control(ids::lblappname), app::VersionedCaption());
  SetText(Control(ids::lblproginfo), about::kProgInfo);
  SetText(Control(ids::lbladdress), about::kAddress);
  SetText(Control(ids::lblwarning), about::kLegalNotice);
  SetText(Control(ids::lblurl), app::kWebAddress);
  SendMessageW(Control(ids::optfullscan), BM_SETCHECK, BST_CHECKED, 0);
  SelectTab(tabs::Status);

  platform::CreateFolder(platform::AppPath("Quarantine"));
  platform::CreateFolder(platform::AppPath("Reports"));
  PointQuarantineList();
  // The counter is saved whenever this window is closed, also by Exit from
  // the tray while the window was never shown; loading it here keeps that
  // save from overwriting the stored total with 0.
  LoadRemovedObjects();
}

void frmmain::Show() {
  if (!Exists()) Load();
  ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd());
}

void frmmain::Hide() {
  if (Exists()) ShowWindow(hwnd(), SW_HIDE);
}

bool frmmain::IsVisible() const { return Exists() && IsWindowVisible(hwnd()); }

void frmmain::SelectTab(int index) {
  SendMessageW(Control(ids::SSTab1), TCM_SETCURSEL, index, 0);
  controls_.ShowPage(index);
}

void frmmain::SelectFullScan() {
  SendMessageW(Control(ids::optfullscan), BM_SETCHECK, BST_CHECKED, 0);
  SendMessageW(Control(ids::optquickscan), BM_SETCHECK, BST_UNCHECKED, 0);
}

bool frmmain::IsAutoShowTicked() const { return CheckState(ids::chkautoshow) == 1; }

int frmmain::CheckState(int id) const {
  return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void frmmain::SetCheckState(int id, int state) {
  SendMessageW(Control(id), BM_SETCHECK, state == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void frmmain::showhelp(int keyCode) {
  if (keyCode == VK_F1) cmdhelp_Click();
}

void frmmain::cmdhelp_Click() { platform::ShellOpen(hwnd(), platform::AppPath("index.html")); }

void frmmain::lblurl_Click() { platform::OpenDocument(app::kWebAddress); }

void frmmain::RequestClose() { Form_QueryUnload(); }

void frmmain::Form_QueryUnload() {
  settings::SaveAppSetting(settings::kTotalObjectsRemoved, std::to_string(program_.removedObjects));
  Hide();
}

void frmmain::Form_Activate() {
  PointQuarantineList();
  RefreshStatusOnActivate();
  loadUserPrefs();
}

void frmmain::Form_Resize() {
  if (enforcingSize_ || IsIconic(hwnd())) return;
  const int width = TwipsToPixels(fixedWidth_, dpi_);
  const int height = TwipsToPixels(fixedHeight_, dpi_);
  RECT rect;
  GetWindowRect(hwnd(), &rect);
  if (rect.right - rect.left == width && rect.bottom - rect.top == height) return;
  enforcingSize_ = true;
  SetWindowPos(hwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  enforcingSize_ = false;
}

void frmmain::SSTab1_Click() {
  controls_.ShowPage(static_cast<int>(SendMessageW(Control(ids::SSTab1), TCM_GETCURSEL, 0, 0)));
}

void frmmain::SSTab1_GotFocus() { RefreshStatusOnTabFocus(); }

void frmmain::UpdateClock() {
  wchar_t time[64];
  if (GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, time, 64) == 0) return;
  // Two tabs right-align the text in the panel.
  const std::wstring text = std::wstring(L"\t\t") + time;
  SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool frmmain::HasF1Handler(HWND control) const {
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

bool frmmain::PreTranslateMessage(MSG& msg) {
  if (!Exists() || (msg.hwnd != hwnd() && !IsChild(hwnd(), msg.hwnd))) return false;
  if (msg.message == WM_KEYDOWN && HasF1Handler(msg.hwnd)) showhelp(static_cast<int>(msg.wParam));
  return RouteDialogKeys(hwnd(), msg);
}

void frmmain::OnActivateMessage(WPARAM wParam, LPARAM lParam) {
  HWND other = reinterpret_cast<HWND>(lParam);
  const bool otherIsOurs = IsProgramForm(other);
  if (LOWORD(wParam) == WA_INACTIVE) {
    if (otherIsOurs) isProgramsActiveWindow_ = false;
    HWND focus = GetFocus();
    if (IsChild(hwnd(), focus)) lastFocus_ = focus;
    return;
  }
  returningFromElsewhere_ = isProgramsActiveWindow_ && !otherIsOurs;
  if (returningFromElsewhere_) return;
  isProgramsActiveWindow_ = true;
  Form_Activate();
}

void frmmain::RestoreFocus() {
  HWND target = returningFromElsewhere_ ? lastFocus_ : nullptr;
  if (!IsChild(hwnd(), target) || !IsWindowVisible(target) || !IsWindowEnabled(target)) target = Control(ids::SSTab1);
  if (target != nullptr) SetFocus(target);
}

void frmmain::OnCommand(int id, int code) {
  switch (id) {
    case ids::cmdstartscan:
      cmdstartscan_Click();
      break;
    case ids::cmdSavePrefs:
      cmdSavePrefs_Click();
      break;
    case ids::cmdcheckforupdates:
    case ids::CmdCheckForUpdates2:
      CheckForUpdates(program_, 1);
      break;
    case ids::cmdhelp:
      cmdhelp_Click();
      break;
    case ids::lblurl:
      if (code == STN_CLICKED) lblurl_Click();
      break;
    case ids::cmdselectAll:
      cmdselectAll_Click();
      break;
    case ids::cmddeselect:
      cmddeselect_Click();
      break;
    case ids::cmdPurgeSelected:
      cmdPurgeSelected_Click();
      break;
    default:
      break;
  }
}

LRESULT frmmain::OnNotify(const NMHDR& header) {
  if (header.idFrom == static_cast<UINT_PTR>(ids::SSTab1)) {
    if (header.code == TCN_SELCHANGE) SSTab1_Click();
  }
  return 0;
}

void frmmain::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlID == static_cast<UINT>(ids::Picture1)) DrawBitmapStretched(item.hDC, banner_.get(), item.rcItem);
  if (item.CtlID == static_cast<UINT>(ids::Picture2)) DrawBitmapStretched(item.hDC, logo_.get(), item.rcItem);
}

HBRUSH frmmain::PageBackgroundBrush() {
  if (pageBrush_) return pageBrush_.get();
  HWND tabs = Control(ids::SSTab1);
  RECT client;
  GetClientRect(tabs, &client);
  HDC tabsDC = GetDC(tabs);
  if (tabsDC == nullptr) return nullptr;
  HDC memory = CreateCompatibleDC(tabsDC);
  pageBitmap_.reset(CreateCompatibleBitmap(tabsDC, client.right, client.bottom));
  ReleaseDC(tabs, tabsDC);
  if (memory == nullptr || !pageBitmap_) {
    if (memory != nullptr) DeleteDC(memory);
    return nullptr;
  }
  HGDIOBJ previous = SelectObject(memory, pageBitmap_.get());
  SendMessageW(tabs, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
  SelectObject(memory, previous);
  DeleteDC(memory);
  pageBrush_.reset(CreatePatternBrush(pageBitmap_.get()));
  return pageBrush_.get();
}

LRESULT frmmain::OnCtlColor(UINT message, HDC dc, HWND control) {
  const bool onPage = controls_.PageOf(control) != kNoPage;
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

bool frmmain::OnSetCursor(HWND control) {
  if (control != Control(ids::lblurl)) return false;
  // The hand pointer is missing before Windows 2000; the arrow stands in.
  HCURSOR hand = LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));
  SetCursor(hand != nullptr ? hand : LoadCursorW(nullptr, IDC_ARROW));
  return true;
}

LRESULT frmmain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
      if (wParam == SIZE_RESTORED) Form_Resize();
      return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      const POINT fixed = {TwipsToPixels(kMainWidthTwips, dpi_), TwipsToPixels(kMainHeightTwips, dpi_)};
      info->ptMinTrackSize = fixed;
      info->ptMaxTrackSize = fixed;
      return 0;
    }
    case WM_CLOSE:
      Form_QueryUnload();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case kTabsGotFocus:
      SSTab1_GotFocus();
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
      if (LOWORD(lParam) == HTCLIENT && ApplyMousePointer(program_.mousePointer)) return TRUE;
      if (OnSetCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
      return Default(message, wParam, lParam);
    case WM_CONTEXTMENU:
      if (OnQuarantineContextMenu(reinterpret_cast<HWND>(wParam), lParam)) return 0;
      return Default(message, wParam, lParam);
    case WM_TIMER:
      if (wParam == kClockTimer) UpdateClock();
      return 0;
    case WM_ENDSESSION:
      if (wParam) settings::SaveAppSetting(settings::kTotalObjectsRemoved, std::to_string(program_.removedObjects));
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace ui
