#include "toolkit/caption_fit.h"

#include <algorithm>
#include <string>

#include "platform/handles.h"

namespace toolkit {
namespace {

enum class CaptionLayout { None, Text, Marked, Push, FrameTitle };

CaptionLayout LayoutOf(HWND control, DWORD style) {
  wchar_t className[16] = {};
  GetClassNameW(control, className, 16);
  if (lstrcmpiW(className, L"Static") == 0) {
    const DWORD type = style & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP ? CaptionLayout::Text
                                                                                                 : CaptionLayout::None;
  }
  if (lstrcmpiW(className, L"Button") != 0) return CaptionLayout::None;
  switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
      return CaptionLayout::Push;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
      return CaptionLayout::Marked;
    case BS_GROUPBOX:
      return CaptionLayout::FrameTitle;
    default:
      return CaptionLayout::None;
  }
}

// The client size a control's caption needs in its own font.
SIZE CaptionNeeds(HDC dc, DWORD style, CaptionLayout layout, const std::wstring& text, SIZE client) {
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  const UINT noPrefix = layout == CaptionLayout::Text && (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
  RECT line = {0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &line, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | noPrefix);
  const int ave = metrics.tmAveCharWidth;
  switch (layout) {
    case CaptionLayout::Text: {
      RECT wrapped = {0, 0, client.cx, 0};
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &wrapped,
                DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | noPrefix);
      if (wrapped.right <= client.cx && wrapped.bottom <= client.cy) return client;
      // A label one line high is widened to hold its caption; one that wraps
      // by design or breaks its own lines grows downwards instead.
      const bool oneLine = text.find(L'\n') == std::wstring::npos && client.cy < 2 * line.bottom;
      if (oneLine) return {line.right, std::max<LONG>(client.cy, line.bottom)};
      return {std::max<LONG>(client.cx, wrapped.right), wrapped.bottom};
    }
    case CaptionLayout::Marked:
      // The mark, a gap before the text and room for the focus rectangle.
      return {GetSystemMetrics(SM_CXMENUCHECK) + 2 * ave + line.right, std::max<LONG>(client.cy, line.bottom)};
    case CaptionLayout::Push:
      // The button's edges and focus rectangle on both sides of the text.
      return {line.right + 2 * ave, std::max<LONG>(client.cy, line.bottom + 2 * GetSystemMetrics(SM_CXEDGE))};
    case CaptionLayout::FrameTitle:
      // The frame's line runs in front of and after its title.
      return {line.right + 3 * ave, std::max<LONG>(client.cy, line.bottom)};
    case CaptionLayout::None:
      break;
  }
  return client;
}

}  // namespace

void FitCaption(HWND control) {
  const DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
  if (!(style & WS_CHILD)) return;
  const CaptionLayout layout = LayoutOf(control, style);
  if (layout == CaptionLayout::None) return;
  const int length = GetWindowTextLengthW(control);
  if (length <= 0) return;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, &text[0], length + 1)));
  RECT client;
  GetClientRect(control, &client);
  SIZE needs;
  {
    const platform::WindowDC dc(control);
    if (dc.get() == nullptr) return;
    const platform::SelectedObject font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    needs = CaptionNeeds(dc.get(), style, layout, text, {client.right, client.bottom});
  }
  if (needs.cx <= client.right && needs.cy <= client.bottom) return;
  RECT outer;
  GetWindowRect(control, &outer);
  HWND parent = GetParent(control);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&outer), 2);
  int width = (outer.right - outer.left) + std::max<LONG>(0, needs.cx - client.right);
  const int height = (outer.bottom - outer.top) + std::max<LONG>(0, needs.cy - client.bottom);
  // Never past the parent's edge, where the caption would be cut off anyway.
  RECT parentClient;
  GetClientRect(parent, &parentClient);
  width = std::min<int>(width, std::max<int>(outer.right - outer.left, parentClient.right - outer.left));
  SetWindowPos(control, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace toolkit
