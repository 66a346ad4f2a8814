// The hidden application window that every running copy owns and that owns
// all of its forms. A second copy finds the first one through its class
// ("ThunderRT6Main") and its caption (the application title), and may hand
// it a folder to scan.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "toolkit/window.h"

namespace windows {

class ApplicationWindow : public toolkit::Window {
 public:
  // Marks the WM_COPYDATA that carries a folder to scan (UTF-8, no NUL).
  static constexpr ULONG_PTR kScanRequestTag = 0x50575343;

  void Create(const std::string& title);
  void SetTitle(const std::string& title);
  // Receives each requested folder from the message loop, never from
  // inside the sender's call.
  void SetScanHandler(std::function<void(const std::string&)> handler);
  void RequestScan(const std::string& folder);

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void RunRequestedScans();

  std::function<void(const std::string&)> scanHandler_;
  std::vector<std::string> requestedScans_;
};

}  // namespace windows
