// The main window's size and its controls outside the tab pages.
#pragma once

#include <vector>

#include "toolkit/controls.h"

namespace windows {

// Outer size of the main window, fixed.
constexpr int kMainWidthTwips = 7455;
constexpr int kMainHeightTwips = 6840;

extern const char* const kTabCaptions[6];
// Every control of the main window in tab order: the banner and the tab
// control, then each page's rows in tab order, then the hidden lists.
std::vector<toolkit::ControlRow> MainWindowControls(std::vector<std::vector<toolkit::ControlRow>> pages);

}  // namespace windows
