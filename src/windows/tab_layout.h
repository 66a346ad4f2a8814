// Where the main window's tab pages lie, in twips: controls on a tab are
// placed relative to the tab control and controls in a frame relative to the
// frame; these turn both into window coordinates.
#pragma once

#include "toolkit/twips.h"

namespace windows {

constexpr toolkit::TwipsRect kTabsTwips = {120, 1680, 7095, 4335};

inline toolkit::TwipsRect OnTab(const toolkit::TwipsRect& rect) { return toolkit::Within(kTabsTwips, rect); }
inline toolkit::TwipsRect InFrame(const toolkit::TwipsRect& frame, const toolkit::TwipsRect& rect) {
  return toolkit::Within(kTabsTwips, toolkit::Within(frame, rect));
}

}  // namespace windows
