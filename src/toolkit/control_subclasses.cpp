#include "toolkit/control_subclasses.h"

#include <commctrl.h>

#include <string>

#include "platform/handles.h"

namespace toolkit {
namespace {

// A frame draws its own title, unclipped: the system's frame cuts the title
// off at its measured width, and an unsmoothed bold face draws a pixel or two
// past it.
LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message != WM_PAINT) return DefSubclassProc(frame, message, wParam, lParam);
  const platform::PaintDC paint(frame);
  HDC dc = paint.get();
  RECT client;
  GetClientRect(frame, &client);
  const platform::SelectedObject font(dc, reinterpret_cast<HFONT>(SendMessageW(frame, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  auto* background = reinterpret_cast<HBRUSH>(
      SendMessageW(GetParent(frame), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(frame)));
  RECT line = client;
  line.top += metrics.tmHeight / 2;
  const RECT above = {client.left, client.top, client.right, line.top};
  if (background != nullptr) FillRect(dc, &above, background);
  DrawEdge(dc, &line, EDGE_ETCHED, BF_RECT);
  const int length = GetWindowTextLengthW(frame);
  if (length > 0) {
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(frame, &text[0], length + 1)));
    RECT title = {client.left + metrics.tmAveCharWidth + 2, client.top, client.right, client.top + metrics.tmHeight};
    RECT measured = title;
    DrawTextW(dc, text.c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE);
    const RECT gap = {title.left - 2, client.top, measured.right + metrics.tmAveCharWidth / 2 + 2, title.bottom};
    if (background != nullptr) FillRect(dc, &gap, background);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), -1, &title, DT_SINGLELINE | DT_NOCLIP);
  }
  return 0;
}

}  // namespace

void DrawTitleUnclipped(HWND frame) {
  SetWindowSubclass(frame, FrameProc, 1, 0);
  InvalidateRect(frame, nullptr, TRUE);
}

}  // namespace toolkit
