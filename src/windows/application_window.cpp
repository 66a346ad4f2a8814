#include "windows/application_window.h"

#include "core/paths.h"
#include "core/program_identity.h"
#include "platform/files.h"
#include "platform/text.h"

namespace windows {

namespace {

constexpr UINT kCallSoon = WM_APP + 1;
// Far more than any path; a larger block is no request of ours.
constexpr DWORD kLargestRequest = 65536;

}  // namespace

void ApplicationWindow::Create(const std::string& title) {
  const std::wstring className = platform::Widen(core::kApplicationWindowClass);
  RegisterWindowClass(className.c_str(), nullptr, nullptr, nullptr);
  CreateTopLevel(className.c_str(), title, WS_POPUP, 0, 0, 0, 0, 0, nullptr);
}

void ApplicationWindow::SetTitle(const std::string& title) { SetWindowTextW(hwnd(), platform::Widen(title).c_str()); }

void ApplicationWindow::TakeRequests(std::function<void(std::string)> handedOver, std::function<void()> soon) {
  handedOver_ = std::move(handedOver);
  soon_ = std::move(soon);
}

void ApplicationWindow::CallSoon() { PostMessageW(hwnd(), kCallSoon, 0, 0); }

LRESULT ApplicationWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COPYDATA: {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (!handedOver_ || data == nullptr || data->dwData != kScanRequestTag || data->cbData == 0 ||
          data->cbData > kLargestRequest || data->lpData == nullptr) {
        return FALSE;
      }
      // Any program may send this: only a folder that is there is scanned,
      // or a scan of nothing would call the machine clean.
      std::string folder(static_cast<const char*>(data->lpData), data->cbData);
      // Only a full path names the same folder to both copies; a relative
      // one ("." or "C:") would be taken from this copy's own working folder.
      if (folder.find('\0') != std::string::npos || !core::IsFullPath(folder) || !platform::IsFolder(folder)) {
        return FALSE;
      }
      // The scan lets messages through for minutes; the sender waits only
      // for the hand-over.
      handedOver_(std::move(folder));
      return TRUE;
    }
    case kCallSoon:
      if (soon_) soon_();
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace windows
