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
// application window first, so that the search cannot find it.
HWND FindRunningCopy(windows::ApplicationWindow& ownApplicationWindow);

// FindRunningCopy, asked again for up to a second while it finds none: the
// mutex is taken a moment before its holder's window gets its title.
HWND WaitForRunningCopy(windows::ApplicationWindow& ownApplicationWindow);

// Brings the running copy's main window back (also from the notification
// area) and to the front.
void ActivatePreviousInstance(windows::ApplicationWindow& ownApplicationWindow);

}  // namespace app
