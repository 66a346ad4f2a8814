// Message boxes: the program's only way of telling the user something.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

// Shows a message box with the application title as caption unless another
// caption is given; returns the button pressed (IDOK, IDYES, ...).
int ShowMessage(HWND owner, const std::string& text, UINT type, const std::string& caption = std::string());

}  // namespace platform
