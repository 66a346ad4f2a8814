// The system's message box, with UTF-8 text.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

// Returns the button pressed (IDOK, IDYES, ...).
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);

}  // namespace platform
