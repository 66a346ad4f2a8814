// The hidden application window that every running copy owns and that owns
// all of its forms. A second copy finds the first one through its class
// ("ThunderRT6Main") and its caption (the application title), and may hand
// it a folder to scan.
#pragma once

#include <functional>
#include <string>

#include "core/pending_folders.h"
#include "toolkit/window.h"

namespace windows {

class ApplicationWindow : public toolkit::Window {
 public:
  // Marks the WM_COPYDATA that carries a folder to scan (UTF-8, no NUL).
  static constexpr ULONG_PTR kScanRequestTag = 0x50575343;

  void Create(const std::string& title);
  void SetTitle(const std::string& title);
  // Each folder handed over is noted in `pending` at once (the sender waits
  // only for that); `scanPending` runs from the message loop afterwards,
  // never from inside the sender's call.
  void TakeScanRequests(core::PendingFolders& pending, std::function<void()> scanPending);
  // Has `scanPending` called from the message loop.
  void ScanPendingFoldersSoon();

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void RequestScan(const std::string& folder);

  core::PendingFolders* pending_ = nullptr;
  std::function<void()> scanPending_;
};

}  // namespace windows
