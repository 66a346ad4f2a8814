// Message boxes with the program's title: its only way of telling the user
// something.
#pragma once

#include <windows.h>

#include <string>

namespace windows {

// Shows a message box with the application title as caption unless another
// caption is given; returns the button pressed (IDOK, IDYES, ...).
int ShowMessage(HWND owner, const std::string& text, UINT type, const std::string& caption = std::string());

}  // namespace windows
