#include "windows/guard_window.h"

#include "core/removal_text.h"
#include "features/exclusions.h"
#include "platform/system.h"
#include "platform/text.h"
#include "toolkit/twips.h"
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
      {ids::GuardWindowMissed, K::Label, {120, 2400, 5535, 435},
       "Changes were missed while many files changed at once: a file may have arrived unseen."},
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
  ShowMissedNote(false);
}

void GuardWindow::Show() {
  Load();
  if (!Exists()) return;
  if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

void GuardWindow::AddFindings(const std::vector<core::GuardFinding>& findings) {
  Load();
  for (const core::GuardFinding& finding : findings) {
    found_.push_back(finding.detection);
    const std::wstring line = platform::Widen(core::DetectionLine(finding.detection));
    SendMessageW(FindingList(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
}

void GuardWindow::ShowChangesMissed() {
  Load();
  ShowMissedNote(true);
}

void GuardWindow::ShowMissedNote(bool shown) {
  for (int id : {ids::GuardWindowMissed, ids::GuardWindowScan}) ShowWindow(controls_.Get(id), shown ? SW_SHOW : SW_HIDE);
}

void GuardWindow::OnQuarantineClicked() { QuarantineMarkedDetections(program_, hwnd(), FindingList(), found_); }

void GuardWindow::OnIgnoreClicked() {
  HWND list = FindingList();
  const std::vector<size_t> marked = MarkedLines(list);
  for (auto position = marked.rbegin(); position != marked.rend(); ++position) {
    if (*position >= found_.size()) continue;
    features::AddExclusion(found_[*position].path, found_[*position].description);
    SendMessageW(list, LB_DELETESTRING, *position, 0);
    found_.erase(found_.begin() + static_cast<std::ptrdiff_t>(*position));
  }
}

void GuardWindow::OnScanClicked() {
  ShowMissedNote(false);
  program_.mainWindow.StartScan(true);
}

LRESULT GuardWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      controls_.RunClick(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CLOSE:
      ShowWindow(hwnd(), SW_HIDE);
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace windows
