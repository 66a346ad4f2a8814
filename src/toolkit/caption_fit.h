// Grows a control whose caption does not fit it in its own font. Text does
// not grow in step with twips, so a layout that fits at one resolution can
// clip at another.
#pragma once

#include <windows.h>

namespace toolkit {

// Widens a label one line high, a button, check box, option button or frame
// to hold its caption, or makes a label that wraps taller; its left and top
// stay, and it never reaches past its parent's edge. Other controls are left
// as they are.
void FitCaption(HWND control);

}  // namespace toolkit
