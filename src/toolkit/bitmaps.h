// Pictures and icons from the program's resources, and drawing pictures.
#pragma once

#include <windows.h>

namespace toolkit {

// A bitmap resource of the running program as a DIB section; the caller
// owns it. Null when there is no such resource.
HBITMAP LoadBitmapResource(int id);
// An icon resource at `size` pixels square. Shared icons are owned by the
// system and never destroyed; others belong to the caller.
HICON LoadIconResource(int id, int size, bool shared);

// Draws a bitmap stretched over a rectangle with smooth scaling.
void DrawBitmapStretched(HDC dc, HBITMAP bitmap, const RECT& target);

}  // namespace toolkit
