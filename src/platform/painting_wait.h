// Waiting on the user-interface thread without freezing its windows.
#pragma once

#include <windows.h>

#include <functional>

namespace platform {

// Waits until `object` is signalled while the thread's windows keep
// painting and answering messages sent to them. Keyboard and mouse input
// for them is thrown away and posted messages stay queued, so the user can
// start nothing new before the wait ends. `keepWaiting` is asked at least
// every `pollMs`; the wait ends early, false, when it says no.
bool WaitKeepingWindowsPainted(HANDLE object, const std::function<bool()>& keepWaiting, DWORD pollMs);

// Answers the messages other threads and programs send, and lets the windows
// repaint and their timers run, during work that must not be re-entered:
// input stays queued until the work is done.
void LetWindowsPaint();

}  // namespace platform
