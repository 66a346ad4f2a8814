#include "windows/scan_window.h"

#include <algorithm>

#include "features/settings.h"
#include "platform/handles.h"
#include "platform/system.h"
#include "platform/text.h"
#include "toolkit/busy_pointer.h"
#include "toolkit/twips.h"
#include "toolkit/whole_lines.h"
#include "windows/detection_removal.h"
#include "windows/message_loop.h"
#include "windows/program.h"
#include "windows/program_icon.h"

namespace windows {
namespace {

constexpr const wchar_t* kScanClass = L"TallowickParawardenScan";
constexpr toolkit::TwipsRect kClientTwips = {0, 0, 8250, 3285};
// How long the scan may run between two looks at the window's messages:
// often enough to feel immediate, seldom enough to cost next to nothing.
constexpr DWORD kYieldSliceMs = 15;
// What another program sends waits for its answer: that alone is answered
// three times as often, for the price of one look at the queue.
constexpr DWORD kAnswerSliceMs = 5;
// Repainting the list costs many times more than adding a line to it, so the
// lines found in a slice go in together and the list shows them a few times
// a second.
constexpr DWORD kListRepaintMs = 250;
// Lines added below what the list shows change only its scroll bar, and
// switching its drawing back on for that alone costs as much as a repaint.
constexpr DWORD kLinesOutOfViewMs = 1000;
// The folder and the counts change faster than anyone reads them, and each
// change repaints its label: shown ten times a second, they cost the scan
// a fraction of what showing them at every look at the messages did.
constexpr DWORD kCountersMs = 100;
constexpr toolkit::TwipsRect kDetectionsTwips = {120, 1560, 8055, 930};

}  // namespace

ScanWindow::ScanWindow(Program& program) : program_(program) {}

std::vector<toolkit::ControlRow> ScanWindow::Rows() {
  using K = toolkit::ControlKind;
  using F = toolkit::FontKind;
  constexpr toolkit::TwipsRect kFrame = {120, 240, 7935, 855};
  return {
      {ids::ScanWindowFolderFrame, K::Frame, kFrame, "Currently Scanning", toolkit::kNoPage, F::Bold},
      {ids::ScanWindowFolder, K::Label, toolkit::Within(kFrame, {120, 360, 7335, 255}), ""},
      {ids::ScanWindowFoundCaption, K::Label, {360, 1200, 3015, 255}, "Last Spyware / Adware found", toolkit::kNoPage, F::Bold},
      {ids::ScanWindowDetections, K::ListToggle, kDetectionsTwips, ""},
      {ids::ScanWindowFoundCount, K::Label, {480, 2640, 2415, 255}, "No Spyware / Adware found"},
      {ids::ScanWindowScannedCount, K::Label, {480, 3000, 2175, 255}, "0 Objects scanned"},
      toolkit::ControlRow{ids::ScanWindowAbort, K::PushButton, {5160, 2760, 1335, 375}, "&Abort"}.Runs(
          [this] { OnAbortClicked(); }),
      toolkit::ControlRow{ids::ScanWindowExit, K::PushButton, {5160, 2760, 1335, 375}, "&Exit"}.Runs(
          [this] { OnExitClicked(); }),
      toolkit::ControlRow{ids::ScanWindowQuarantine, K::PushButton, {6600, 2760, 1335, 375}, "&Quarantine"}.Runs(
          [this] { OnQuarantineClicked(); }),
  };
}


void ScanWindow::Load() {
  if (!Exists()) {
    dpi_ = platform::ScreenDpi();
    // CS_NOCLOSE also greys the close box, which some window managers draw
    // even without a Close command.
    RegisterWindowClass(kScanClass, ProgramIcon(false), ProgramIcon(true), GetSysColorBrush(COLOR_BTNFACE),
                        CS_NOCLOSE);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    CreateCentred(kScanClass, "Scanning...", style, WS_EX_APPWINDOW,
                  toolkit::OuterSizeForClient(kClientTwips, dpi_, style, WS_EX_APPWINDOW), program_.appWindow.hwnd());
    if (!Exists()) return;
    // Each part of the making takes milliseconds under Wine, the whole of
    // it tens: what other programs send is answered in between.
    AnswerSentMessages();
    fonts_ = std::make_unique<toolkit::FontSet>(dpi_);
    AnswerSentMessages();
    controls_.Create(hwnd(), Rows(), dpi_, *fonts_);
    AnswerSentMessages();
    toolkit::RemoveCloseMenuItems(hwnd());
  }
  ResetForNewRun();
}

void ScanWindow::ResetForNewRun() {
  abortPressed_ = false;
  ShowButton(ids::ScanWindowExit, false);
  ShowButton(ids::ScanWindowAbort, true);
  EnableWindow(controls_.Get(ids::ScanWindowQuarantine), FALSE);
  objectsScanned_ = 0;
  // A window kept from an earlier run starts over as a new one would.
  anyFileExamined_ = false;
  shownFound_ = -1;
  pendingFolder_.clear();
  toolkit::SetText(hwnd(), "Scanning...");
  // Empty until the first folder is reached: the designer's placeholder
  // caption meant nothing to a user.
  toolkit::SetText(controls_.Get(ids::ScanWindowFolder), "");
  toolkit::SetText(controls_.Get(ids::ScanWindowFoundCount), "No Spyware / Adware found");
  toolkit::SetText(controls_.Get(ids::ScanWindowScannedCount), "0 Objects scanned");
}

void ScanWindow::Show() {
  if (!Exists()) return;
  ShowWindow(hwnd(), SW_SHOW);
  AnswerSentMessages();
  SetForegroundWindow(hwnd());
  UpdateWindow(hwnd());
}

void ScanWindow::BringToFront() {
  if (!Exists()) return;
  if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

void ScanWindow::EmptyResults() {
  detections_.clear();
  listed_ = 0;
  SendMessageW(DetectionList(), LB_RESETCONTENT, 0, 0);
  SendMessageW(DetectionList(), LB_SETHORIZONTALEXTENT, 0, 0);
  widestLine_ = 0;
  KeepWholeLines();
}

void ScanWindow::Finish() {
  pendingFolder_.clear();
  AddQueuedLines();
  ShowAddedLines();
  RefreshCounters();
  toolkit::SetText(hwnd(), "Scan Complete");
  toolkit::SetText(controls_.Get(ids::ScanWindowFolder), "");
  ShowButton(ids::ScanWindowAbort, false);
  ShowButton(ids::ScanWindowExit, true);
  EnableWindow(controls_.Get(ids::ScanWindowQuarantine), TRUE);
  // Hiding Abort took the keyboard focus with it; Exit takes it over.
  if (GetActiveWindow() == hwnd()) toolkit::FocusControl(hwnd(), GetFocus(), DefaultButton());
}

HWND ScanWindow::DefaultButton() const {
  HWND abort = controls_.Get(ids::ScanWindowAbort);
  return IsWindowVisible(abort) ? abort : controls_.Get(ids::ScanWindowExit);
}

void ScanWindow::RestoreFocus() {
  toolkit::FocusControl(hwnd(), lastFocus_, DefaultButton());
}

void ScanWindow::ShowButton(int id, bool shown) {
  HWND button = controls_.Get(id);
  EnableWindow(button, shown);
  ShowWindow(button, shown ? SW_SHOW : SW_HIDE);
}

bool ScanWindow::YieldToWindow() {
  const DWORD now = GetTickCount();
  if (now - lastPump_ >= kYieldSliceMs) {
    RefreshAndPump();
    lastPump_ = lastAnswer_ = GetTickCount();
  } else if (now - lastAnswer_ >= kAnswerSliceMs) {
    AnswerSentMessages();
    lastAnswer_ = now;
  }
  // Abort goes to the session, which answers for the run.
  return false;
}

void ScanWindow::RefreshAndPump() {
  AddQueuedLines();
  // Showing the lines and counts can take tens of milliseconds under a
  // loaded system; what other programs sent is answered before each of them
  // rather than after all of them.
  if (listRedrawOff_) {
    const RECT added = AddedLinesArea();
    const bool inView = !IsRectEmpty(&added);
    if (GetTickCount() - lastRepaint_ >= (inView ? kListRepaintMs : kLinesOutOfViewMs)) {
      AnswerSentMessages();
      ShowAddedLines();
    }
  }
  if (GetTickCount() - lastCounters_ >= kCountersMs) {
    AnswerSentMessages();
    RefreshCounters();
    lastCounters_ = GetTickCount();
  }
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    DispatchProgramMessage(program_, msg);
  }
}

void ScanWindow::RefreshCounters() {
  if (!Exists()) return;
  if (!pendingFolder_.empty()) {
    toolkit::SetText(controls_.Get(ids::ScanWindowFolder), pendingFolder_);
    pendingFolder_.clear();
  }
  if (!anyFileExamined_) return;
  toolkit::SetText(controls_.Get(ids::ScanWindowScannedCount), std::to_string(objectsScanned_) + " Objects scanned");
  LRESULT found = SendMessageW(DetectionList(), LB_GETCOUNT, 0, 0);
  if (found < 0) found = 0;
  // Seldom changes; setting a label to its own text still costs a repaint.
  if (found == shownFound_) return;
  shownFound_ = found;
  toolkit::SetText(controls_.Get(ids::ScanWindowFoundCount), std::to_string(found) + " Spyware / Adware found");
}

void ScanWindow::ScanningFolder(const std::string& shownPath) { pendingFolder_ = shownPath; }

void ScanWindow::Detected(const core::Detection& detection) {
  if (!Exists()) return;
  detections_.push_back(detection);
}

void ScanWindow::AddQueuedLines() {
  if (listed_ >= detections_.size() || !Exists()) return;
  HWND list = DetectionList();
  if (!listRedrawOff_) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    listRedrawOff_ = true;
    firstUnshownLine_ = listed_;
  }
  // Long paths scroll sideways instead of being cut off.
  int widest = widestLine_;
  {
    const platform::WindowDC dc(list);
    const platform::SelectedObject font(dc.get(), fonts_->For(toolkit::FontKind::Normal));
    for (; listed_ < detections_.size(); ++listed_) {
      const std::wstring line = platform::Widen(core::DetectionLine(detections_[listed_]));
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
      widest = std::max(widest, toolkit::ListExtentFor(dc.get(), line));
    }
  }
  if (widest > widestLine_) {
    widestLine_ = widest;
    SendMessageW(list, LB_SETHORIZONTALEXTENT, widestLine_, 0);
  }
}

void ScanWindow::ShowAddedLines() {
  lastRepaint_ = GetTickCount();
  if (!listRedrawOff_ || !Exists()) return;
  listRedrawOff_ = false;
  HWND list = DetectionList();
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  // The horizontal scroll bar comes with the first long line, once the list
  // draws again.
  KeepWholeLines();
  // Only the new lines that came into view need drawing: a full list shows
  // what comes below it as a longer scroll bar alone.
  const RECT added = AddedLinesArea();
  if (!IsRectEmpty(&added)) InvalidateRect(list, &added, TRUE);
}

// The part of the list that the lines added while it did not draw cover:
// empty once they are all below what it shows.
RECT ScanWindow::AddedLinesArea() const {
  HWND list = DetectionList();
  RECT lines = {}, client = {};
  GetClientRect(list, &client);
  if (SendMessageW(list, LB_GETITEMRECT, firstUnshownLine_, reinterpret_cast<LPARAM>(&lines)) == LB_ERR) return client;
  if (lines.top >= client.bottom) return RECT{};
  return {client.left, std::max(lines.top, client.top), client.right, client.bottom};
}

void ScanWindow::KeepWholeLines() {
  toolkit::FitWholeLines(DetectionList(), toolkit::ToPixels(kDetectionsTwips, dpi_).height);
}

void ScanWindow::FileExamined(int32_t count) {
  objectsScanned_ = count;
  anyFileExamined_ = true;
}

void ScanWindow::Observe(features::ScanSession* session) {
  session_ = session;
  if (session_ != nullptr && abortPressed_) session_->Abort();
}

void ScanWindow::OnAbortClicked() {
  abortPressed_ = true;
  abortPressedAt_ = GetTickCount();
  if (session_ != nullptr) session_->Abort();
  ShowButton(ids::ScanWindowAbort, false);
  ShowButton(ids::ScanWindowExit, true);
  SetFocus(controls_.Get(ids::ScanWindowExit));
}

void ScanWindow::OnExitClicked() {
  // Exit takes Abort's place: the second click of a double-click on Abort
  // lands on it, and would close the window with the lines found so far.
  if (abortPressed_ && GetTickCount() - abortPressedAt_ < GetDoubleClickTime()) return;
  program_.removedTotal.Store();
  DestroyNow();
  program_.mainWindow.Show();
  // What was handed over or fell due meanwhile waited for these results.
  program_.gate.LookAgainSoon();
}

void ScanWindow::OnQuarantineClicked() {
  QuarantineMarkedDetections(program_, hwnd(), DetectionList(), detections_);
  listed_ = detections_.size();
}

LRESULT ScanWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (toolkit::PressFocusedButtonOnEnter(hwnd(), wParam, lParam)) return 0;
      controls_.RunClick(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CLOSE:
      // Only Exit closes this window; its close command is gone.
      return 0;
    case WM_ACTIVATE:
      toolkit::NoteFocusOnLeaving(hwnd(), wParam, lastFocus_);
      return Default(message, wParam, lParam);
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && toolkit::ShowBusyPointer()) return TRUE;
      return Default(message, wParam, lParam);
    case WM_CONTEXTMENU:
      if (OnContextMenu(reinterpret_cast<HWND>(wParam), lParam)) return 0;
      return Default(message, wParam, lParam);
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace windows
