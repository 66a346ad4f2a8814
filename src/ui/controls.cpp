#include "ui/controls.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/text.h"
#include "ui/resource_ids.h"

namespace ui {
namespace {

HFONT MakeFontFace(const wchar_t* face, int hundredthsOfPoint, bool bold, int dpi, BYTE quality = DEFAULT_QUALITY) {
  LOGFONTW lf = {};
  lf.lfHeight = FontHeightPixels(hundredthsOfPoint, dpi);
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = quality;
  lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

// Counts the dark pixels of a sample text drawn in the font.
int InkOf(HFONT font) {
  constexpr int kWidth = 160;
  constexpr int kHeight = 32;
  platform::ScreenDC screen;
  HDC dc = CreateCompatibleDC(screen.get());
  if (dc == nullptr) return 0;
  platform::UniqueBitmap canvas(CreateCompatibleBitmap(screen.get(), kWidth, kHeight));
  HGDIOBJ previousBitmap = SelectObject(dc, canvas.get());
  HGDIOBJ previousFont = SelectObject(dc, font);
  RECT all = {0, 0, kWidth, kHeight};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  TextOutW(dc, 2, 2, L"Program Status", 14);
  int ink = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (GetRValue(GetPixel(dc, x, y)) < 128) ++ink;
    }
  }
  SelectObject(dc, previousFont);
  SelectObject(dc, previousBitmap);
  DeleteDC(dc);
  return ink;
}

// Some systems carry "MS Sans Serif" only as a face that cannot be made
// bold; its bold cut then draws no more ink than the regular one.
bool RendersBold(HFONT bold, HFONT regular) {
  if (bold == nullptr || regular == nullptr) return false;
  return InkOf(bold) > InkOf(regular) * 11 / 10;
}

// Where "MS Sans Serif" is a bitmap font that cannot be emboldened, or its
// stand-in face thins its bold strokes back to regular ones when smoothed at
// small sizes, the bold cut comes out regular. Drawing it unsmoothed, then a
// close outline face, keeps bold captions bold.
HFONT MakeFont(const wchar_t* face, int hundredthsOfPoint, bool bold, int dpi) {
  HFONT font = MakeFontFace(face, hundredthsOfPoint, bold, dpi);
  if (!bold) return font;
  platform::UniqueFont regular(MakeFontFace(face, hundredthsOfPoint, false, dpi));
  if (RendersBold(font, regular.get())) return font;
  struct Candidate {
    const wchar_t* face;
    BYTE quality;
  };
  const Candidate candidates[] = {
      {face, NONANTIALIASED_QUALITY}, {L"Tahoma", DEFAULT_QUALITY}, {L"Tahoma", NONANTIALIASED_QUALITY}};
  for (const Candidate& candidate : candidates) {
    HFONT other = MakeFontFace(candidate.face, hundredthsOfPoint, bold, dpi, candidate.quality);
    if (other == nullptr) continue;
    if (RendersBold(other, regular.get())) {
      DeleteObject(font);
      return other;
    }
    DeleteObject(other);
  }
  return font;
}

struct WindowClassAndStyle {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

WindowClassAndStyle StyleFor(ControlKind kind) {
  const DWORD child = WS_CHILD | WS_VISIBLE;
  switch (kind) {
    case ControlKind::PushButton:
      return {L"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::CheckBox:
      return {L"BUTTON", child | WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE, 0};
    case ControlKind::OptionFirst:
      return {L"BUTTON", child | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0};
    case ControlKind::Option:
      return {L"BUTTON", child | BS_AUTORADIOBUTTON, 0};
    case ControlKind::Label:
      return {L"STATIC", child | SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0};
    case ControlKind::Frame:
      return {L"BUTTON", child | BS_GROUPBOX | WS_GROUP, 0};
    case ControlKind::ListMulti:
      return {L"LISTBOX",
              child | WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY |
                  LBS_HASSTRINGS,
              WS_EX_CLIENTEDGE};
    case ControlKind::ListToggle:
      return {L"LISTBOX",
              child | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | WS_BORDER | LBS_MULTIPLESEL | LBS_NOINTEGRALHEIGHT |
                  LBS_NOTIFY | LBS_HASSTRINGS,
              WS_EX_CLIENTEDGE};
    case ControlKind::HiddenList:
      return {L"LISTBOX", WS_CHILD | LBS_HASSTRINGS | LBS_SORT, 0};
    case ControlKind::Separator:
      return {L"STATIC", child | SS_ETCHEDHORZ, 0};
    case ControlKind::Picture:
      return {L"STATIC", child | SS_OWNERDRAW, 0};
    case ControlKind::Tabs:
      return {WC_TABCONTROLW, child | WS_TABSTOP | WS_CLIPSIBLINGS | TCS_SINGLELINE | TCS_FOCUSONBUTTONDOWN, 0};
    case ControlKind::StatusBar:
      return {STATUSCLASSNAMEW, child, 0};
  }
  return {L"STATIC", child, 0};
}

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
    case CaptionLayout::Push: {
      const int edges = 2 * GetSystemMetrics(SM_CXEDGE);
      return {line.right + 2 * ave + edges, std::max<LONG>(client.cy, line.bottom + edges)};
    }
    case CaptionLayout::FrameTitle:
      // The frame's line runs in front of and after its title.
      return {line.right + 3 * ave, std::max<LONG>(client.cy, line.bottom)};
    case CaptionLayout::None:
      break;
  }
  return client;
}

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
  HDC dc = GetDC(control);
  if (dc == nullptr) return;
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  const SIZE needs = CaptionNeeds(dc, style, layout, text, {client.right, client.bottom});
  SelectObject(dc, previous);
  ReleaseDC(control, dc);
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

// Keeps a list at whole lines within the height it was given, also after
// its horizontal scroll bar comes or goes (the system's own integral height
// loses lines on every such change).
LRESULT CALLBACK WholeLinesProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR givenHeight) {
  const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
  if (message == WM_SIZE || message == WM_SETFONT) {
    RECT outer, client;
    GetWindowRect(list, &outer);
    GetClientRect(list, &client);
    const int lineHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    const int edges = (outer.bottom - outer.top) - client.bottom;
    if (lineHeight > 0) {
      const int lines = std::max(1, (static_cast<int>(givenHeight) - edges) / lineHeight);
      const int height = edges + lines * lineHeight;
      if (height != outer.bottom - outer.top) {
        SetWindowPos(list, nullptr, 0, 0, outer.right - outer.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
    }
  }
  return result;
}

// A frame draws its own title, unclipped: the system's frame cuts the title
// off at its measured width, and an unsmoothed bold face draws a pixel or two
// past it.
LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message != WM_PAINT) return DefSubclassProc(frame, message, wParam, lParam);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(frame, &paint);
  RECT client;
  GetClientRect(frame, &client);
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(frame, WM_GETFONT, 0, 0)));
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
  SelectObject(dc, previous);
  EndPaint(frame, &paint);
  return 0;
}

HWND CreateTips(HWND parent) {
  return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

void AddTip(HWND tips, HWND parent, HWND control, const char* tip) {
  std::wstring text = platform::Widen(tip);
  TTTOOLINFOW info = {};
  // The first layout's size, which every version of the control accepts.
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = parent;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = &text[0];
  SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace

FontSet::FontSet(int dpi)
    : normal_(MakeFont(L"MS Sans Serif", 825, false, dpi)),
      bold_(MakeFont(L"MS Sans Serif", 825, true, dpi)),
      title_(MakeFont(L"Arial", 1125, true, dpi)) {}

HFONT FontSet::For(FontKind kind) const {
  switch (kind) {
    case FontKind::Bold:
      return bold_.get();
    case FontKind::Title:
      return title_.get();
    case FontKind::Normal:
      break;
  }
  return normal_.get();
}

void ControlSet::Create(HWND parent, const std::vector<ControlRow>& rows, int dpi, const FontSet& fonts) {
  for (const ControlRow& row : rows) {
    const WindowClassAndStyle cs = StyleFor(row.kind);
    const PixelRect px = ToPixels(row.rect, dpi);
    DWORD style = cs.style;
    if (row.page != kNoPage) style &= ~WS_VISIBLE;
    HWND control = CreateWindowExW(cs.exStyle, cs.className, platform::Widen(row.caption ? row.caption : "").c_str(),
                                   style, px.left, px.top, px.width, px.height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), GetModuleHandleW(nullptr),
                                   nullptr);
    if (control == nullptr) continue;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.For(row.font)), FALSE);
    FitCaption(control);
    if (row.kind == ControlKind::Frame) SetWindowSubclass(control, FrameProc, 1, 0);
    if (row.kind == ControlKind::ListToggle) {
      SetWindowSubclass(control, WholeLinesProc, 1, static_cast<DWORD_PTR>(px.height));
      SendMessageW(control, WM_SIZE, 0, 0);
    }
    if (row.tip != nullptr) {
      if (tips_ == nullptr) tips_ = CreateTips(parent);
      AddTip(tips_, parent, control, row.tip);
    }
    byId_[row.id] = control;
    pageByHandle_[control] = row.page;
  }
}

HWND ControlSet::Get(int id) const {
  const auto found = byId_.find(id);
  return found == byId_.end() ? nullptr : found->second;
}

void ControlSet::ShowPage(int page) {
  for (const auto& [control, controlPage] : pageByHandle_) {
    if (controlPage == kNoPage) continue;
    ShowWindow(control, controlPage == page ? SW_SHOWNA : SW_HIDE);
  }
}

int ControlSet::PageOf(HWND control) const {
  const auto found = pageByHandle_.find(control);
  return found == pageByHandle_.end() ? kNoPage : found->second;
}

std::string GetText(HWND control) {
  const int length = GetWindowTextLengthW(control);
  if (length <= 0) return std::string();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(control, &text[0], length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return platform::Narrow(text);
}

std::string ListItemText(HWND list, int index) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return std::string();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
  return platform::Narrow(text);
}

HICON LoadProgramIcon(bool small) {
  const int size = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
  return static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PARAWARDEN), IMAGE_ICON, size, size, LR_SHARED));
}

void SetText(HWND control, const std::string& text) {
  SetWindowTextW(control, platform::Widen(text).c_str());
  FitCaption(control);
}

void DrawBitmapStretched(HDC dc, HBITMAP bitmap, const RECT& target) {
  if (bitmap == nullptr) return;
  BITMAP info = {};
  if (GetObjectW(bitmap, sizeof info, &info) == 0) return;
  HDC memory = CreateCompatibleDC(dc);
  if (memory == nullptr) return;
  HGDIOBJ previous = SelectObject(memory, bitmap);
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, memory, 0, 0,
             info.bmWidth, info.bmHeight, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
}

}  // namespace ui
