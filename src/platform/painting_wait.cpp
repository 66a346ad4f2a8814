#include "platform/painting_wait.h"

namespace platform {
namespace {

// Input that would act on the program's windows: keys, mouse buttons and
// movement over the client area and the frame (the close box included).
constexpr struct {
  UINT first;
  UINT last;
} kInputRanges[] = {
    {WM_KEYFIRST, WM_KEYLAST},
    {WM_MOUSEFIRST, WM_MOUSELAST},
    {WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK},
    {WM_NCXBUTTONDOWN, WM_NCXBUTTONDBLCLK},
};

void DropInput() {
  MSG msg;
  for (const auto& range : kInputRanges) {
    while (PeekMessageW(&msg, nullptr, range.first, range.last, PM_REMOVE)) {
    }
  }
}

void DispatchPaint() {
  MSG msg;
  // Each call also handles the messages that other threads send.
  while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace

bool WaitKeepingWindowsPainted(HANDLE object, const std::function<bool()>& keepWaiting, DWORD pollMs) {
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &object, FALSE, pollMs, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke == WAIT_FAILED) {
      // Nothing left to wait on sensibly; fall back to polling.
      Sleep(pollMs);
      if (WaitForSingleObject(object, 0) == WAIT_OBJECT_0) return true;
    }
    DropInput();
    DispatchPaint();
    if (!keepWaiting()) return WaitForSingleObject(object, 0) == WAIT_OBJECT_0;
  }
}

void LetWindowsPaint() {
  MSG msg;
  // Bounded: a window that never validates its area must not hold the work up.
  for (int i = 0; i < 64 && PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) DispatchMessageW(&msg);
  for (int i = 0; i < 64 && PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE); ++i) DispatchMessageW(&msg);
}

}  // namespace platform
