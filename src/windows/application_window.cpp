#include "windows/application_window.h"

#include "core/program_identity.h"
#include "platform/text.h"

namespace windows {

namespace {

constexpr UINT kRunRequestedScans = WM_APP + 1;
// Far more than any path; a larger block is no request of ours.
constexpr DWORD kLargestRequest = 65536;

}  // namespace

void ApplicationWindow::Create(const std::string& title) {
  const std::wstring className = platform::Widen(core::kApplicationWindowClass);
  RegisterWindowClass(className.c_str(), nullptr, nullptr, nullptr);
  CreateTopLevel(className.c_str(), title, WS_POPUP, 0, 0, 0, 0, 0, nullptr);
}

void ApplicationWindow::SetTitle(const std::string& title) { SetWindowTextW(hwnd(), platform::Widen(title).c_str()); }

void ApplicationWindow::SetScanHandler(std::function<void(const std::string&)> handler) {
  scanHandler_ = std::move(handler);
}

void ApplicationWindow::RequestScan(const std::string& folder) {
  requestedScans_.push_back(folder);
  PostMessageW(hwnd(), kRunRequestedScans, 0, 0);
}

void ApplicationWindow::RunRequestedScans() {
  std::vector<std::string> folders;
  folders.swap(requestedScans_);
  for (const std::string& folder : folders) {
    if (scanHandler_) scanHandler_(folder);
  }
}

LRESULT ApplicationWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COPYDATA: {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (data == nullptr || data->dwData != kScanRequestTag || data->cbData == 0 || data->cbData > kLargestRequest ||
          data->lpData == nullptr) {
        return FALSE;
      }
      // The scan lets messages through for minutes; the sender waits only
      // for the hand-over.
      RequestScan(std::string(static_cast<const char*>(data->lpData), data->cbData));
      return TRUE;
    }
    case kRunRequestedScans:
      RunRequestedScans();
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace windows
