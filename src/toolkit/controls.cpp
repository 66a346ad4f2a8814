#include "toolkit/controls.h"

#include <commctrl.h>

#include "platform/text.h"
#include "toolkit/caption_fit.h"
#include "toolkit/control_subclasses.h"
#include "toolkit/whole_lines.h"

namespace toolkit {
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

// Counts the dark pixels of a sample text drawn in the font. It is drawn
// into pixels this program reads itself: asking the system for each one
// took some 20 ms for a window's fonts under Wine, while the window waited.
int InkOf(HFONT font) {
  constexpr int kWidth = 160;
  constexpr int kHeight = 32;
  platform::ScreenDC screen;
  platform::MemoryDC memory(screen.get());
  HDC dc = memory.get();
  if (dc == nullptr) return 0;
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = kWidth;
  format.bmiHeader.biHeight = -kHeight;  // top row first
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  platform::UniqueBitmap canvas(CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!canvas || bits == nullptr) return 0;
  platform::SelectedObject selectedCanvas(dc, canvas.get());
  platform::SelectedObject selectedFont(dc, font);
  RECT all = {0, 0, kWidth, kHeight};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  TextOutW(dc, 2, 2, L"Program Status", 14);
  GdiFlush();
  // Each pixel is blue, green, red and an unused byte.
  const auto* pixels = static_cast<const unsigned char*>(bits);
  int ink = 0;
  for (int i = 0; i < kWidth * kHeight; ++i) {
    if (pixels[4 * i + 2] < 128) ++ink;
  }
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
    case ControlKind::DropDownList:
      return {L"COMBOBOX", child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
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
    if (row.kind == ControlKind::Frame) DrawTitleUnclipped(control);
    if (row.kind == ControlKind::ListToggle) FitWholeLines(control, px.height);
    if (row.tip != nullptr) {
      if (tips_ == nullptr || GetWindow(tips_, GW_OWNER) != parent) tips_ = CreateTips(parent);
      AddTip(tips_, parent, control, row.tip);
    }
    byId_[row.id] = control;
    pageByHandle_[control] = row.page;
    if (row.onClick) {
      onClick_[row.id] = {row.onClick, row.kind == ControlKind::DropDownList ? CBN_SELCHANGE : BN_CLICKED};
    }
    if (row.helpOnF1) withHelp_.insert(control);
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

bool ControlSet::RunClick(int id, int code) const {
  const auto found = onClick_.find(id);
  if (found == onClick_.end() || found->second.code != code) return false;
  // A copy: the handler may recreate the controls and with them this table.
  const std::function<void()> handler = found->second.handler;
  handler();
  return true;
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

std::vector<std::string> SelectedItemTexts(HWND list) {
  std::vector<std::string> texts;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if (SendMessageW(list, LB_GETSEL, i, 0) > 0) texts.push_back(ListItemText(list, static_cast<int>(i)));
  }
  return texts;
}

void SetText(HWND control, const std::string& text) {
  SetWindowTextW(control, platform::Widen(text).c_str());
  FitCaption(control);
}

}  // namespace toolkit
