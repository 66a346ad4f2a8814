// What the windows show at the screen resolutions users run: every caption
// fits its control, bold captions are drawn bold, and the results list shows
// whole lines. Text does not grow in step with twips, so each resolution is
// checked in a program started at it.
#include <windows.h>

#include <initializer_list>
#include <set>
#include <sstream>

#include "driver/http_server.h"
#include "driver/scan_fixture.h"
#include "toolkit/controls.h"

namespace e2e {
namespace {

// Lines long enough to give the results list a horizontal scroll bar.
const std::string kLongDescription = "Test entry with a description that runs well past the right edge of the list";
const std::string kRefDat = "Ver1.0\r\nnotepad.exe|" + kLongDescription + "\r\n";

// The program's font of each control, as its windows' layouts give it.
toolkit::FontKind FontOf(HWND control) {
  static const std::set<int> kBold = {ids::StatusFrame,         ids::StatusDefinitionsValue,  ids::StatusProtectionValue,
                                      ids::StatusLastScanValue,  ids::StatusRemovedValue, ids::StatusScansValue,
                                      ids::StatusQuarantineValue, ids::ScanModeFrame,  ids::ScanWindowFolderFrame,
                                      ids::ScanWindowFoundCaption,            ids::SplashPublisher,   ids::SplashVersion};
  const int id = GetDlgCtrlID(control);
  if (id == ids::AboutName) return toolkit::FontKind::Title;
  return kBold.count(id) != 0 ? toolkit::FontKind::Bold : toolkit::FontKind::Normal;
}

// Read from the window manager's copy: the download window's program answers
// no messages while it downloads.
std::wstring Caption(HWND control) {
  wchar_t text[1024] = {};
  return std::wstring(text, static_cast<size_t>(GetWindowTextW(control, text, 1024)));
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lParam) {
  reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
  return TRUE;
}

// The size a caption takes in its control, drawn as the control draws it:
// word-wrapped for a label; after the mark and its gap (20 pixels at 96 dpi)
// for a check box or option button; within the edges (8) of a push button;
// between the frame's line segments (14) for a frame. Nothing for controls
// without a caption of their own (lists, pictures, owner-drawn buttons).
std::optional<SIZE> CaptionSize(HDC dc, HWND control, const std::wstring& text, LONG width, int dpi) {
  const DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
  const std::string kind = ClassName(control);
  RECT line = {0, 0, 0, 0};
  if (kind == "Static") {
    const DWORD type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT) return std::nullopt;
    RECT wrapped = {0, 0, width, 0};
    DrawTextW(dc, text.c_str(), -1, &wrapped,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
    return SIZE{wrapped.right, wrapped.bottom};
  }
  if (kind != "Button") return std::nullopt;
  DrawTextW(dc, text.c_str(), -1, &line, DT_CALCRECT | DT_SINGLELINE);
  switch (style & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX:
    case BS_AUTORADIOBUTTON:
      return SIZE{line.right + MulDiv(20, dpi, 96), line.bottom};
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
      return SIZE{line.right + MulDiv(8, dpi, 96), line.bottom + 4};
    case BS_GROUPBOX:
      return SIZE{line.right + MulDiv(14, dpi, 96), line.bottom};
    default:
      return std::nullopt;
  }
}

// "<id> "<caption>" needs WxH, has WxH" on a line for every control of a
// window whose caption does not fit, measured in the program's own font.
std::string ClippedCaptions(HWND window, int dpi, const toolkit::FontSet& fonts) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  platform::ScreenDC screen;
  HDC dc = CreateCompatibleDC(screen.get());
  std::string clipped;
  for (HWND control : children) {
    const std::wstring text = Caption(control);
    if (text.empty()) continue;
    RECT client = {};
    GetClientRect(control, &client);
    HGDIOBJ previous = SelectObject(dc, fonts.For(FontOf(control)));
    const std::optional<SIZE> size = CaptionSize(dc, control, text, client.right, dpi);
    SelectObject(dc, previous);
    if (!size || (size->cx <= client.right && size->cy <= client.bottom)) continue;
    std::ostringstream line;
    line << GetDlgCtrlID(control) << " \"" << platform::Narrow(text) << "\" needs " << size->cx << "x" << size->cy
         << ", has " << client.right << "x" << client.bottom << "\n";
    clipped += line.str();
  }
  DeleteDC(dc);
  return clipped;
}

class DisplayTest : public ScanFixture, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    ScanFixture::SetUp();
    SetScreenDpi(GetParam());
  }
  void TearDown() override {
    ScanFixture::TearDown();
    SetScreenDpi(std::nullopt);
  }
};

using CaptionTest = DisplayTest;

TEST_P(CaptionTest, EveryCaptionOfEveryWindowFitsItsControl) {
  const int dpi = GetParam();
  const toolkit::FontSet fonts(dpi);
  HttpServer server;
  ASSERT_TRUE(server.Running());
  SetUpdateServer(server.BaseAddress());
  server.Answer("/products/qvr/version.txt", {200, "1.5"});
  // A slow download keeps the download window up long enough to be read.
  server.Answer("/products/qvr/ref.dat", {200, "Ver1.5\r\nnew.exe|Adware\r\n", -1, 3000});

  // The longest note of what the administrator set.
  SetPolicyString("SETTINGS", "GUARD", "1");
  SetPolicyString("SETTINGS", "SCHEDULE", "0");
  HWND splash = StartProgram(kRefDat);
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(ClippedCaptions(splash, dpi, fonts), "") << "splash window";
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return !Caption(Child(main, ids::QuarantineCountLabel)).empty(); }));
  EXPECT_EQ(ClippedCaptions(main, dpi, fonts), "") << "main window";

  HWND scan = RunScan(main, false);
  ASSERT_NE(scan, nullptr);
  EXPECT_EQ(ClippedCaptions(scan, dpi, fonts), "") << "scan window";
  Click(Child(scan, ids::ScanWindowExit));
  ASSERT_NE(app_.WaitForVisible(main), nullptr);

  SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, tabs::Settings, 0);
  EXPECT_FALSE(WindowText(Child(main, ids::SettingsPolicyNote)).empty());
  Click(Child(main, ids::SettingsExclusionsButton));
  HWND exclusions = app_.WaitForTopLevel("TallowickParawardenExclusions", "Exclusions");
  ASSERT_NE(exclusions, nullptr);
  EXPECT_EQ(ClippedCaptions(exclusions, dpi, fonts), "") << "exclusions window";
  PostMessageW(exclusions, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(exclusions); }));

  SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, tabs::Updates, 0);
  Click(Child(main, ids::UpdatesCheckButton));
  HWND offer = app_.WaitForMessageBox(20000);
  ASSERT_NE(offer, nullptr);
  AnswerMessageBox(offer, IDYES);
  HWND progress = app_.WaitForTopLevel("TallowickParawardenProgress", std::nullopt, 5000);
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(ClippedCaptions(progress, dpi, fonts), "") << "download window";
  HWND done = app_.WaitForMessageBox(20000);
  ASSERT_NE(done, nullptr);
  AnswerMessageBox(done, IDOK);
}

INSTANTIATE_TEST_SUITE_P(Dpi, CaptionTest, ::testing::Values(96, 120, 144, 192));

// Dark pixels of a screen rectangle, or of a text drawn black on white.
int DarkPixels(HDC dc, int width, int height) {
  int ink = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) ink += GetRValue(GetPixel(dc, x, y)) < 128 ? 1 : 0;
  }
  return ink;
}

int InkOnScreen(const RECT& rect) {
  platform::ScreenDC screen;
  HDC dc = CreateCompatibleDC(screen.get());
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  platform::UniqueBitmap copy(CreateCompatibleBitmap(screen.get(), width, height));
  HGDIOBJ previous = SelectObject(dc, copy.get());
  BitBlt(dc, 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
  const int ink = DarkPixels(dc, width, height);
  SelectObject(dc, previous);
  DeleteDC(dc);
  return ink;
}

int InkOfText(const std::wstring& text, HFONT font) {
  platform::ScreenDC screen;
  HDC dc = CreateCompatibleDC(screen.get());
  RECT extent = {0, 0, 0, 0};
  HGDIOBJ previousFont = SelectObject(dc, font);
  DrawTextW(dc, text.c_str(), -1, &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  platform::UniqueBitmap canvas(CreateCompatibleBitmap(screen.get(), extent.right, extent.bottom));
  HGDIOBJ previousBitmap = SelectObject(dc, canvas.get());
  FillRect(dc, &extent, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, text.c_str(), -1, &extent, DT_SINGLELINE | DT_NOPREFIX);
  const int ink = DarkPixels(dc, extent.right, extent.bottom);
  SelectObject(dc, previousBitmap);
  SelectObject(dc, previousFont);
  DeleteDC(dc);
  return ink;
}

// A bold caption on screen carries clearly more ink than the same text in
// the regular face; a frame's caption is the strip along its top.
void ExpectDrawnBold(HWND window, std::initializer_list<int> ids, const toolkit::FontSet& fonts) {
  for (int id : ids) {
    HWND control = Child(window, id);
    RECT rect = {};
    GetWindowRect(control, &rect);
    if (ClassName(control) == "Button") {
      TEXTMETRICW metrics = {};
      platform::ScreenDC screen;
      HGDIOBJ previous = SelectObject(screen.get(), fonts.For(toolkit::FontKind::Bold));
      GetTextMetricsW(screen.get(), &metrics);
      SelectObject(screen.get(), previous);
      rect.bottom = rect.top + metrics.tmHeight;
    }
    const std::wstring text = Caption(control);
    const int regular = InkOfText(text, fonts.For(toolkit::FontKind::Normal));
    int ink = 0;
    // Polled: the window may still be painting.
    EXPECT_TRUE(WaitUntil([&] { return (ink = InkOnScreen(rect)) * 4 > regular * 5; }, 3000))
        << id << " \"" << platform::Narrow(text) << "\": " << ink << " dark pixels, regular " << regular;
  }
}

using BoldTest = DisplayTest;

TEST_P(BoldTest, BoldCaptionsAreDrawnBold) {
  const toolkit::FontSet fonts(GetParam());
  // The splash window would cover the main window.
  HWND main = StartToActiveMainWindow(kRefDat);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return Caption(Child(main, ids::StatusLastScanValue)) == L"Never"; }));
  ExpectDrawnBold(main, {ids::StatusFrame, ids::StatusDefinitionsValue, ids::StatusProtectionValue, ids::StatusLastScanValue}, fonts);

  HWND scan = RunScan(main, false);
  ASSERT_NE(scan, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == scan; }));
  ExpectDrawnBold(scan, {ids::ScanWindowFolderFrame, ids::ScanWindowFoundCaption}, fonts);
}

INSTANTIATE_TEST_SUITE_P(Dpi, BoldTest, ::testing::Values(96, 120, 144));

class ResultsListTest : public ScanFixture {};

TEST_F(ResultsListTest, ShowsWholeLinesAboveItsHorizontalScrollBar) {
  HWND main = StartAndShowMain(kRefDat);
  ASSERT_NE(main, nullptr);
  HWND scan = RunScan(main, false);
  ASSERT_NE(scan, nullptr);
  HWND list = Child(scan, ids::ScanWindowDetections);
  ASSERT_TRUE(WaitUntil([&] { return (GetWindowLongW(list, GWL_STYLE) & WS_HSCROLL) != 0; }));
  const int lineHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  RECT client = {};
  GetClientRect(list, &client);
  ASSERT_GT(lineHeight, 0);
  EXPECT_EQ(client.bottom % lineHeight, 0) << client.bottom << " / " << lineHeight;
  EXPECT_GE(client.bottom / lineHeight, 3);
  // Within its rectangle of 1560 + 930 twips from the window's top.
  RECT outer = {};
  GetWindowRect(list, &outer);
  MapWindowPoints(nullptr, scan, reinterpret_cast<POINT*>(&outer), 2);
  const int dpi = GetDeviceCaps(platform::ScreenDC().get(), LOGPIXELSY);
  EXPECT_LE(outer.bottom, MulDiv(1560 + 930, dpi, 1440));
}

}  // namespace
}  // namespace e2e
