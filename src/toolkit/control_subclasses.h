// Behaviour added to standard controls by subclassing them.
#pragma once

#include <windows.h>

namespace toolkit {

// Keeps a list at whole lines within the pixel height it was given, also
// after its horizontal scroll bar comes or goes.
void KeepWholeLines(HWND list, int givenHeight);
// Makes a frame draw its own title, unclipped.
void DrawTitleUnclipped(HWND frame);

}  // namespace toolkit
