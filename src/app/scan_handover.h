// "/scan <folder>": checking the folder, and handing it to the copy of the
// program that is already running.
#pragma once

#include <string>

namespace windows {
class ApplicationWindow;
}

namespace app {

// Tells the user that the folder cannot be scanned (it does not exist, or
// no folder was named).
void ShowScanFolderMissing(const std::string& folder);

// Sends the folder to the running copy's application window, which starts
// the scan; false when no running copy took it.
bool HandScanToPreviousInstance(windows::ApplicationWindow& ownApplicationWindow, const std::string& folder);

}  // namespace app
