// Keeps a list box at whole lines, and its long lines within reach.
#pragma once

#include <windows.h>

#include <string>

namespace toolkit {

// Sets a list's height to the most whole lines that fit in the pixel height
// it was given. A list whose horizontal scroll bar may come or go calls it
// again after each change of its extent: the system's own integral height
// loses lines on every such change. Deliberately not a subclass, which would
// put every one of the list's messages through one more procedure; adding
// thousands of lines then costs seconds under some window systems.
void FitWholeLines(HWND list, int givenHeight);

// The horizontal extent a list needs to scroll `line`, drawn with the font
// selected into `dc`, wholly into view.
int ListExtentFor(HDC dc, const std::wstring& line);

}  // namespace toolkit
