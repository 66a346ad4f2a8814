#include "windows/tray_window.h"

#include <shellapi.h>

#include "core/program_identity.h"
#include "core/setting_values.h"
#include "core/tray_mouse.h"
#include "features/settings.h"
#include "platform/text.h"
#include "toolkit/bitmaps.h"
#include "windows/control_ids.h"
#include "windows/guard_control.h"
#include "windows/message_box.h"
#include "windows/modal_loop.h"
#include "windows/program.h"
#include "windows/resource_ids.h"
#include "windows/update_prompts.h"

namespace windows {
namespace {

constexpr const wchar_t* kTrayClass = L"TallowickParawardenTray";
constexpr UINT_PTR kScheduleTimer = 1;
// An icon the shell did not take at start is offered again for a minute.
constexpr UINT_PTR kIconTimer = 2;
constexpr UINT kIconRetryMs = 2000;
constexpr int kIconRetries = 30;

}  // namespace

TrayWindow::TrayWindow(Program& program)
    : program_(program) {
  BindCommand(ids::TrayShow, [this] { OnShowChosen(); });
  BindCommand(ids::TrayAbout, [this] { OnAboutChosen(); });
  BindCommand(ids::TrayExit, [this] { OnExitChosen(); });
  BindCommand(ids::TrayGuard, [this] { OnGuardChosen(); });
}

void TrayWindow::Load() {
  if (Exists()) return;
  RegisterWindowClass(kTrayClass, nullptr, nullptr, nullptr);
  CreateTopLevel(kTrayClass, "Tallowick Parawarden tray", WS_OVERLAPPED, 0, 0, 0, 0, 0, program_.appWindow.hwnd());
  if (!Exists()) return;
  CreateContent();
}

void TrayWindow::CreateContent() {
  icon_.reset(toolkit::LoadIconResource(IDI_PARAWARDEN, 32, false));
  menu_.reset(CreatePopupMenu());
  AppendMenuW(menu_.get(), MF_STRING, ids::TrayShow, L"Show Parawarden");
  AppendMenuW(menu_.get(), MF_STRING, ids::TrayGuard, L"Guard");
  AppendMenuW(menu_.get(), MF_STRING, ids::TrayAbout, L"About");
  AppendMenuW(menu_.get(), MF_STRING, ids::TrayExit, L"Exit");
  if (!toolkit::AddTrayIcon(notifyRecord_, icon_.get(), hwnd(), core::kTitle)) {
    SetTimer(hwnd(), kIconTimer, kIconRetryMs, nullptr);
  }
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  lastBalloonQuery_ = RegisterWindowMessageW(kLastBalloonMessage);
  SetTimer(hwnd(), kScheduleTimer, kScheduleCheckInterval, nullptr);
  // Runs before the splash window and before the definitions are read, so a
  // downloaded file is the one that start-up loads.
  if (features::IsSwitchedOn(core::kAutoUpdate)) CheckForUpdates(program_, false);
}

void TrayWindow::OnIconEvent(LPARAM lParam) {
  // Only the guard shows balloons.
  if (LOWORD(lParam) == NIN_BALLOONUSERCLICK) {
    program_.guardWindow.Show();
    return;
  }
  // The icon's callback message is WM_MOUSEMOVE, so the shell's event code
  // stands where a mouse move carries its horizontal position.
  switch (core::TrayMouseEvent(static_cast<float>(LOWORD(lParam)))) {
    case core::TrayAction::PopupMenu:
      PopupTrayMenu();
      break;
    case core::TrayAction::ShowMainWindow:
      program_.mainWindow.Show();
      break;
    case core::TrayAction::None:
      break;
  }
}

void TrayWindow::PopupTrayMenu() {
  if (menuOpen_ || !menu_) return;
  menuOpen_ = true;
  POINT at;
  GetCursorPos(&at);
  // Without the foreground the menu would not close when the user clicks
  // elsewhere; the posted null message lets it close properly afterwards.
  SetForegroundWindow(hwnd());
  int chosen = 0;
  {
    const ModalLoop loop;
    chosen = static_cast<int>(
        TrackPopupMenu(menu_.get(), TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, hwnd(), nullptr));
  }
  PostMessageW(hwnd(), WM_NULL, 0, 0);
  menuOpen_ = false;
  if (chosen != 0) RunCommand(chosen);
}

void TrayWindow::OnShowChosen() { program_.mainWindow.Show(); }

void TrayWindow::OnGuardChosen() { program_.guardWindow.Show(); }

void TrayWindow::ShowBalloon(const std::string& title, const std::string& text) {
  if (!toolkit::ShowTrayBalloon(notifyRecord_, title, text)) return;
  lastBalloonTitle_ = title;
  lastBalloonText_ = text;
}

void TrayWindow::OnAboutChosen() {
  program_.mainWindow.Show();
  program_.mainWindow.SelectTab(tabs::About);
}

void TrayWindow::OnExitChosen() {
  if (ShowMessage(nullptr, "Do you wish to end the application?", MB_OKCANCEL) != IDOK) return;
  EndProgram();
}

void TrayWindow::EndProgram() {
  if (program_.mainWindow.Exists()) program_.mainWindow.RequestClose();
  StopGuard(program_);
  DestroyNow();
  ExitProcess(0);
}

LRESULT TrayWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    toolkit::ReAddTrayIcon(notifyRecord_);
    return 0;
  }
  if (message == lastBalloonQuery_ && lastBalloonQuery_ != 0) {
    const std::string& asked = wParam == 0 ? lastBalloonTitle_ : lastBalloonText_;
    if (lastBalloonTitle_.empty()) return 0;
    // An atom holds up to 255 characters.
    return GlobalAddAtomW(platform::Widen(asked.substr(0, 255)).c_str());
  }
  switch (message) {
    case WM_MOUSEMOVE:
      OnIconEvent(lParam);
      return 0;
    case WM_COMMAND:
      RunCommand(LOWORD(wParam));
      return 0;
    case kGuardWakeMessage:
      CollectGuardFindings(program_);
      return 0;
    case WM_TIMER:
      if (wParam == kScheduleTimer) program_.gate.LookAtWaiting();
      if (wParam == kIconTimer && (toolkit::ReAddTrayIcon(notifyRecord_) || ++iconRetries_ >= kIconRetries)) {
        KillTimer(hwnd(), kIconTimer);
      }
      return 0;
    case WM_CLOSE:
      // This window is never shown, so only another program sends it: the
      // setup program and the uninstaller, which end the program this way
      // rather than replace or delete a running executable.
      EndProgram();
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace windows
