#include "ui/frmtray.h"

#include "platform/disk_lister.h"
#include "platform/message_box.h"
#include "startup/app_identity.h"
#include "startup/program.h"
#include "ui/control_ids.h"
#include "ui/resource_ids.h"
#include "ui/tray_mouse.h"
#include "update/check_for_updates.h"
#include "settings/setting_values.h"
#include "settings/settings_store.h"

namespace ui {
namespace {

constexpr const wchar_t* kTrayClass = L"TallowickParawardenTray";

}  // namespace

frmtray::frmtray(Program& program)
    : program_(program),
      definitions_(std::make_shared<const reference::Definitions>(reference::ReferenceList(), platform::FoldCase)) {}

void frmtray::Load() {
  if (Exists()) return;
  RegisterWindowClass(kTrayClass, nullptr, nullptr, nullptr);
  CreateTopLevel(kTrayClass, "Tallowick Parawarden tray", WS_OVERLAPPED, 0, 0, 0, 0, 0, program_.appWindow.hwnd());
  if (!Exists()) return;
  Form_Load();
}

void frmtray::Form_Load() {
  icon_.reset(static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PARAWARDEN), IMAGE_ICON, 32, 32, 0)));
  mnublank_.reset(CreatePopupMenu());
  AppendMenuW(mnublank_.get(), MF_STRING, ids::mnushow, L"Show Parawarden");
  AppendMenuW(mnublank_.get(), MF_STRING, ids::mnuabout, L"About");
  AppendMenuW(mnublank_.get(), MF_STRING, ids::mnuexit, L"Exit");
  AddTrayIcon(notifyRecord_, icon_.get(), hwnd(), app::kTitle);
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  // Runs before the splash window and before the definitions are read, so a
  // downloaded file is the one that start-up loads.
  if (settings::ReadsAsOn(settings::GetAppSetting(settings::kAutoUpdate, "0"))) CheckForUpdates(program_, 0);
}

void frmtray::Form_MouseMove(LPARAM lParam) {
  // The icon's callback message is WM_MOUSEMOVE, so the shell's event code
  // stands where a mouse move carries its horizontal position.
  switch (TrayMouseEvent(static_cast<float>(LOWORD(lParam)))) {
    case TrayAction::PopupMenu:
      PopupTrayMenu();
      break;
    case TrayAction::ShowMainWindow:
      program_.frmmain.Show();
      break;
    case TrayAction::None:
      break;
  }
}

void frmtray::PopupTrayMenu() {
  if (menuOpen_ || !mnublank_) return;
  menuOpen_ = true;
  POINT at;
  GetCursorPos(&at);
  // Without the foreground the menu would not close when the user clicks
  // elsewhere; the posted null message lets it close properly afterwards.
  SetForegroundWindow(hwnd());
  const int chosen = static_cast<int>(
      TrackPopupMenu(mnublank_.get(), TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, hwnd(), nullptr));
  PostMessageW(hwnd(), WM_NULL, 0, 0);
  menuOpen_ = false;
  if (chosen != 0) OnMenuCommand(chosen);
}

void frmtray::OnMenuCommand(int id) {
  switch (id) {
    case ids::mnushow:
      mnushow_Click();
      break;
    case ids::mnuabout:
      mnuabout_Click();
      break;
    case ids::mnuexit:
      mnuexit_Click();
      break;
    default:
      break;
  }
}

void frmtray::mnushow_Click() { program_.frmmain.Show(); }

void frmtray::mnuabout_Click() {
  program_.frmmain.Show();
  program_.frmmain.SelectTab(tabs::About);
}

void frmtray::mnuexit_Click() {
  if (platform::ShowMessage(nullptr, "Do you wish to end the application?", MB_OKCANCEL) != IDOK) return;
  EndProgram();
}

void frmtray::EndProgram() {
  if (program_.frmmain.Exists()) program_.frmmain.RequestClose();
  DestroyNow();
  ExitProcess(0);
}

LRESULT frmtray::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    ReAddTrayIcon(notifyRecord_);
    return 0;
  }
  switch (message) {
    case WM_MOUSEMOVE:
      Form_MouseMove(lParam);
      return 0;
    case WM_COMMAND:
      OnMenuCommand(LOWORD(wParam));
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

}  // namespace ui
