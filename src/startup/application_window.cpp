#include "startup/application_window.h"

#include "platform/text.h"
#include "startup/app_identity.h"

void ApplicationWindow::Create(const std::string& title) {
  const std::wstring className = platform::Widen(app::kApplicationWindowClass);
  RegisterWindowClass(className.c_str(), nullptr, nullptr, nullptr);
  CreateTopLevel(className.c_str(), title, WS_POPUP, 0, 0, 0, 0, 0, nullptr);
}

void ApplicationWindow::SetTitle(const std::string& title) {
  SetWindowTextW(hwnd(), platform::Widen(title).c_str());
}
