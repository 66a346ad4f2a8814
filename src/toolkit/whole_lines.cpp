#include "toolkit/whole_lines.h"

#include <algorithm>

namespace toolkit {

void FitWholeLines(HWND list, int givenHeight) {
  RECT outer, client;
  if (!GetWindowRect(list, &outer) || !GetClientRect(list, &client)) return;
  const int lineHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  if (lineHeight <= 0) return;
  const int edges = (outer.bottom - outer.top) - client.bottom;
  const int lines = std::max(1, (givenHeight - edges) / lineHeight);
  const int height = edges + lines * lineHeight;
  if (height != outer.bottom - outer.top) {
    SetWindowPos(list, nullptr, 0, 0, outer.right - outer.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

int ListExtentFor(HDC dc, const std::wstring& line) {
  // The list draws its text a few pixels in from its edge.
  constexpr int kTextMargin = 8;
  SIZE size = {};
  GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
  return static_cast<int>(size.cx) + kTextMargin;
}

}  // namespace toolkit
