#include "windows/guard_window.h"

#include <algorithm>

#include "core/removal_text.h"
#include "features/exclusions.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/system.h"
#include "platform/text.h"
#include "toolkit/twips.h"
#include "toolkit/whole_lines.h"
#include "windows/detection_removal.h"
#include "windows/program.h"
#include "windows/program_icon.h"

namespace windows {
namespace {

constexpr const wchar_t* kGuardClass = L"TallowickParawardenGuard";
constexpr toolkit::TwipsRect kClientTwips = {0, 0, 7440, 3435};

}  // namespace

GuardWindow::GuardWindow(Program& program) : program_(program) {}

std::vector<toolkit::ControlRow> GuardWindow::Rows() {
  using K = toolkit::ControlKind;
  using F = toolkit::FontKind;
  return {
      {ids::GuardWindowCaption, K::Label, {120, 120, 7200, 255}, "Spyware / Adware found by the guard",
       toolkit::kNoPage, F::Bold},
      {ids::GuardWindowFindings, K::ListToggle, {120, 480, 7200, 1815}, ""},
      {ids::GuardWindowMissed, K::Label, {120, 2400, 5535, 435}, ""},
      toolkit::ControlRow{ids::GuardWindowScan, K::PushButton, {5985, 2400, 1335, 375}, "&Scan Now"}.Runs(
          [this] { OnScanClicked(); }),
      toolkit::ControlRow{ids::GuardWindowQuarantine, K::PushButton, {120, 2940, 1335, 375}, "&Quarantine"}.Runs(
          [this] { OnQuarantineClicked(); }),
      toolkit::ControlRow{ids::GuardWindowIgnore, K::PushButton, {1575, 2940, 2295, 375}, "Always &Ignore This File"}
          .Runs([this] { OnIgnoreClicked(); }),
      toolkit::ControlRow{ids::GuardWindowClose, K::PushButton, {5985, 2940, 1335, 375}, "&Close"}.Runs(
          [this] { ShowWindow(hwnd(), SW_HIDE); }),
  };
}

void GuardWindow::Load() {
  if (Exists()) return;
  dpi_ = platform::ScreenDpi();
  RegisterWindowClass(kGuardClass, ProgramIcon(false), ProgramIcon(true), GetSysColorBrush(COLOR_BTNFACE));
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  CreateCentred(kGuardClass, "Guard", style, WS_EX_APPWINDOW,
                toolkit::OuterSizeForClient(kClientTwips, dpi_, style, WS_EX_APPWINDOW), program_.appWindow.hwnd());
  if (!Exists()) return;
  fonts_ = std::make_unique<toolkit::FontSet>(dpi_);
  controls_.Create(hwnd(), Rows(), dpi_, *fonts_);
  ShowNote(note_, offerScan_);
}

void GuardWindow::Show() {
  Load();
  if (!Exists()) return;
  DropLinesOfGoneFiles();
  if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

void GuardWindow::AddFindings(const std::vector<core::GuardFinding>& findings) {
  Load();
  if (!Exists()) return;
  HWND list = FindingList();
  // Long paths scroll sideways instead of being cut off.
  const platform::WindowDC dc(list);
  const platform::SelectedObject font(dc.get(), fonts_->For(toolkit::FontKind::Normal));
  DropLinesOfGoneFiles();
  for (const core::GuardFinding& finding : findings) {
    // A guard started anew (new definitions, the setting switched back on)
    // checks its drives again: a line still shown is not shown twice.
    const std::string text = core::DetectionLine(finding.detection);
    if (std::any_of(found_.begin(), found_.end(),
                    [&text](const core::Detection& shown) { return core::DetectionLine(shown) == text; })) {
      continue;
    }
    found_.push_back(finding.detection);
    const std::wstring line = platform::Widen(text);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    widestLine_ = std::max(widestLine_, toolkit::ListExtentFor(dc.get(), line));
  }
  SendMessageW(list, LB_SETHORIZONTALEXTENT, widestLine_, 0);
}

void GuardWindow::DropLinesOfGoneFiles() {
  // A file quarantined from the scan window, or deleted, leaves nothing for
  // these lines to act on.
  HWND list = FindingList();
  for (size_t i = found_.size(); i-- > 0;) {
    if (platform::PathExists(found_[i].path)) continue;
    found_.erase(found_.begin() + static_cast<std::ptrdiff_t>(i));
    SendMessageW(list, LB_DELETESTRING, i, 0);
  }
  if (found_.empty() && widestLine_ != 0) {
    widestLine_ = 0;
    SendMessageW(list, LB_SETHORIZONTALEXTENT, 0, 0);
  }
}

void GuardWindow::ShowNote(const std::string& note, bool offerScan) {
  // Kept for the window's creation: a note alone opens no window.
  note_ = note;
  offerScan_ = offerScan;
  if (!Exists()) return;
  HWND label = controls_.Get(ids::GuardWindowMissed);
  SetWindowTextW(label, platform::Widen(note).c_str());
  ShowWindow(label, note.empty() ? SW_HIDE : SW_SHOW);
  HWND scan = controls_.Get(ids::GuardWindowScan);
  // A hidden button would keep the focus, and the keys with it.
  if (!offerScan && GetFocus() == scan) SetFocus(FindingList());
  ShowWindow(scan, offerScan ? SW_SHOW : SW_HIDE);
}

void GuardWindow::OnQuarantineClicked() { QuarantineMarkedDetections(program_, hwnd(), FindingList(), found_); }

void GuardWindow::OnIgnoreClicked() {
  // This file only: the marked line last clicked. The other marked lines
  // were marked for Quarantine as much as for this, and an exclusion hides
  // a file from every scan after.
  HWND list = FindingList();
  const LRESULT caret = SendMessageW(list, LB_GETCARETINDEX, 0, 0);
  if (caret < 0 || SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(caret), 0) <= 0) return;
  const std::vector<size_t> taken = features::IgnoreDetections(found_, {static_cast<size_t>(caret)});
  for (auto position = taken.rbegin(); position != taken.rend(); ++position) {
    SendMessageW(list, LB_DELETESTRING, *position, 0);
  }
}

void GuardWindow::OnScanClicked() {
  // A scan under way is only brought forward, and may not reach where the
  // files arrived: the note stays until a full scan of its own starts.
  program_.gate.ScanNow(true, [this] {
    ShowWindow(controls_.Get(ids::GuardWindowScan), SW_HIDE);
    SetFocus(FindingList());
  });
}

LRESULT GuardWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // Escape closes the window as Close does.
      if (LOWORD(wParam) == IDCANCEL && lParam == 0) {
        ShowWindow(hwnd(), SW_HIDE);
        return 0;
      }
      if (toolkit::PressFocusedButtonOnEnter(hwnd(), wParam, lParam)) return 0;
      controls_.RunClick(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CLOSE:
      ShowWindow(hwnd(), SW_HIDE);
      return 0;
    case WM_ACTIVATE:
      toolkit::NoteFocusOnLeaving(hwnd(), wParam, lastFocus_);
      return Default(message, wParam, lParam);
    case WM_SETFOCUS:
      toolkit::FocusControl(hwnd(), lastFocus_, FindingList());
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace windows
