// The hidden application window that every running copy owns and that owns
// all of its forms. A second copy finds the first one through its class
// ("ThunderRT6Main") and its caption (the application title), and may hand
// it a folder to scan.
#pragma once

#include <functional>
#include <string>

#include "toolkit/window.h"

namespace windows {

class ApplicationWindow : public toolkit::Window {
 public:
  // Marks the WM_COPYDATA that carries a folder to scan (UTF-8, no NUL).
  static constexpr ULONG_PTR kScanRequestTag = 0x50575343;

  void Create(const std::string& title);
  void SetTitle(const std::string& title);
  // `handedOver` takes each folder handed over inside the sender's call,
  // which waits only for that; `soon` runs from the message loop after each
  // CallSoon.
  void TakeRequests(std::function<void(std::string)> handedOver, std::function<void()> soon);
  void CallSoon();

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  std::function<void(std::string)> handedOver_;
  std::function<void()> soon_;
};

}  // namespace windows
