#include "windows/exclusions_window.h"

#include "platform/system.h"
#include "platform/text.h"
#include "windows/control_ids.h"
#include "windows/program_icon.h"

namespace windows {
namespace {

constexpr const wchar_t* kExclusionsClass = L"TallowickParawardenExclusions";
constexpr toolkit::TwipsRect kClientTwips = {0, 0, 7215, 3375};

}  // namespace

std::vector<toolkit::ControlRow> ExclusionsWindow::Rows() {
  using K = toolkit::ControlKind;
  return {
      {ids::ExclusionsCaption, K::Label, {120, 120, 6975, 255},
       "Files that scans and the guard pass over; their programs are never ended:"},
      {ids::ExclusionsList, K::ListMulti, {120, 420, 6975, 2295}, ""},
      toolkit::ControlRow{ids::ExclusionsRemove, K::PushButton, {4440, 2880, 1215, 375}, "&Remove"}.Runs(
          [this] { OnRemoveClicked(); }),
      toolkit::ControlRow{ids::ExclusionsClose, K::PushButton, {5880, 2880, 1215, 375}, "&Close"}.Runs(
          [this] { DestroyNow(); }),
  };
}

void ExclusionsWindow::Open(HWND owner) {
  if (!Exists()) {
    const int dpi = platform::ScreenDpi();
    RegisterWindowClass(kExclusionsClass, ProgramIcon(false), ProgramIcon(true), GetSysColorBrush(COLOR_BTNFACE));
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    CreateCentred(kExclusionsClass, "Exclusions", style, WS_EX_DLGMODALFRAME,
                  toolkit::OuterSizeForClient(kClientTwips, dpi, style, WS_EX_DLGMODALFRAME), owner);
    if (!Exists()) return;
    fonts_ = std::make_unique<toolkit::FontSet>(dpi);
    controls_.Create(hwnd(), Rows(), dpi, *fonts_);
  }
  Refill();
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  SetFocus(controls_.Get(ids::ExclusionsList));
}

void ExclusionsWindow::Refill() {
  HWND list = controls_.Get(ids::ExclusionsList);
  shown_ = features::ReadExclusions();
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const features::Exclusion& exclusion : shown_) {
    SendMessageW(list, LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(platform::Widen(exclusion.path + " > " + exclusion.description).c_str()));
  }
  HWND remove = controls_.Get(ids::ExclusionsRemove);
  // A disabled button would keep the focus, and the keys with it.
  if (shown_.empty() && GetFocus() == remove) SetFocus(list);
  EnableWindow(remove, !shown_.empty());
}

void ExclusionsWindow::OnRemoveClicked() {
  HWND list = controls_.Get(ids::ExclusionsList);
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (int i = 0; i < count && i < static_cast<int>(shown_.size()); ++i) {
    if (SendMessageW(list, LB_GETSEL, i, 0) > 0) features::RemoveExclusion(shown_[i].path);
  }
  Refill();
}

LRESULT ExclusionsWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) {
        DestroyNow();
        return 0;
      }
      if (toolkit::PressFocusedButtonOnEnter(hwnd(), wParam, lParam)) return 0;
      controls_.RunClick(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CLOSE:
      DestroyNow();
      return 0;
    case WM_ACTIVATE:
      // The guard window or a scan window may have added an exclusion while
      // this one stood open; an unchanged list keeps the user's marks.
      if (LOWORD(wParam) != WA_INACTIVE && features::ReadExclusions() != shown_) Refill();
      toolkit::NoteFocusOnLeaving(hwnd(), wParam, lastFocus_);
      return Default(message, wParam, lParam);
    case WM_SETFOCUS:
      toolkit::FocusControl(hwnd(), lastFocus_, controls_.Get(ids::ExclusionsList));
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace windows
