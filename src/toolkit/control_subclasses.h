// Behaviour added to standard controls by subclassing them.
#pragma once

#include <windows.h>

namespace toolkit {

// Makes a frame draw its own title, unclipped.
void DrawTitleUnclipped(HWND frame);

}  // namespace toolkit
