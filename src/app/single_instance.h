// One copy of the program at a time: a second start hands over to the copy
// that is already running and ends.
#pragma once

#include <windows.h>

#include "platform/handles.h"

namespace windows {
class ApplicationWindow;
}

namespace app {

// True when another copy holds the instance mutex. `mutex` keeps this copy's
// own hold for the life of the process.
bool AnotherInstanceRunning(platform::UniqueHandle& mutex);

// The running copy's application window, or null. Renames this copy's own
// application window first, which no longer matters once it hands over.
HWND FindRunningCopy(windows::ApplicationWindow& ownApplicationWindow);

// Brings the running copy's main window back (also from the notification
// area) and to the front.
void ActivatePreviousInstance(windows::ApplicationWindow& ownApplicationWindow);

}  // namespace app
