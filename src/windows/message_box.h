// Message boxes with the program's title: its only way of telling the user
// something.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace windows {

// Shows a message box with the application title as caption unless another
// caption is given; returns the button pressed (IDOK, IDYES, ...).
int ShowMessage(HWND owner, const std::string& text, UINT type, const std::string& caption = std::string());

// Names what an action could not do: "1 item could not be <verb>:" or "<n>
// items could not be <verb>:", one item a line, then the advice for one or
// for many after an empty line, as a warning.
void ShowFailures(HWND owner, const std::vector<std::string>& items, const std::string& verb,
                  const std::string& adviceForOne, const std::string& adviceForMany);

}  // namespace windows
