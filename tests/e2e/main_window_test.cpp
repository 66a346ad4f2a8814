// The main window: fixed size, closing hides it, help and the web link.
#include "driver/program_test.h"

namespace e2e {
namespace {

RECT WindowRect(HWND hwnd) {
  RECT rect = {};
  GetWindowRect(hwnd, &rect);
  return rect;
}

class MainWindowTest : public ProgramTest {
 protected:
  // Routes the shell's "open" of documents and web addresses to the
  // recorder in this test's folder.
  void RecordOpenedDocuments() {
    const char* recorder = std::getenv("PW_RECORDER_EXE");
    ASSERT_NE(recorder, nullptr);
    ASSERT_TRUE(CopyFileW(platform::Widen(recorder).c_str(), platform::Widen(AppFile("open_recorder.exe")).c_str(),
                          FALSE));
    AssociateDocumentsWith(AppFile("open_recorder.exe"));
  }
  std::string Opened() { return ReadFileText(AppFile("opened.log")).value_or(""); }
  bool WaitForOpened(const std::string& fragment, int timeoutMs = 10000) {
    return WaitUntil([&] { return Opened().find(fragment) != std::string::npos; }, timeoutMs);
  }
};

TEST_F(MainWindowTest, KeepsItsSizeWhenResizedAndAfterMinimiseAndRestore) {
  ASSERT_NE(StartProgram(), nullptr);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  const RECT before = WindowRect(main);
  const int dpi = GetDeviceCaps(GetDC(nullptr), LOGPIXELSX);
  EXPECT_EQ(before.right - before.left, MulDiv(7455, dpi, 1440));
  EXPECT_EQ(before.bottom - before.top, MulDiv(6840, dpi, 1440));

  SetWindowPos(main, nullptr, 0, 0, 800, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitUntil([&] {
    const RECT now = WindowRect(main);
    return now.right - now.left == before.right - before.left && now.bottom - now.top == before.bottom - before.top;
  }));

  ShowWindow(main, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }));
  ShowWindow(main, SW_RESTORE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) == FALSE; }));
  const RECT after = WindowRect(main);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
}

TEST_F(MainWindowTest, ClosingHidesItStoresTheTotalAndKeepsTheTabAndTray) {
  SetSetting("TOTALOBJECTSREMOVED", "3");
  ASSERT_NE(StartProgram(), nullptr);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  HWND tabs = Child(main, ids::MainTabs);
  SendMessageW(tabs, TCM_SETCURFOCUS, 2, 0);
  SetSetting("TOTALOBJECTSREMOVED", "gone");

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
  EXPECT_EQ(GetSetting("TOTALOBJECTSREMOVED"), std::optional<std::string>("3"));
  EXPECT_FALSE(app_.HasExited());
  EXPECT_TRUE(IsWindow(main));

  app_.TrayEvent(WM_LBUTTONDBLCLK);
  ASSERT_NE(app_.WaitForVisible(main), nullptr);
  EXPECT_EQ(SelectedTab(tabs), 2);
}

TEST_F(MainWindowTest, F1OnControlsWithHelpAndTheHelpButtonOpenTheHelpPage) {
  RecordOpenedDocuments();
  ASSERT_NE(StartProgram(), nullptr);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  const std::string helpPage = AppFile("index.html");

  // Keys without a meaning of their own, and controls without F1 handling.
  PostMessageW(Child(main, ids::QuarantineList), WM_KEYDOWN, VK_F2, 0);
  PostMessageW(Child(main, ids::QuarantineDeleteButton), WM_KEYDOWN, VK_F1, 0);
  PostMessageW(Child(main, ids::AboutHelpButton), WM_KEYDOWN, VK_F1, 0);
  EXPECT_FALSE(WaitForOpened("index.html", 1500));

  PostMessageW(Child(main, ids::QuarantineList), WM_KEYDOWN, VK_F1, 0);
  ASSERT_TRUE(WaitForOpened(helpPage));
  DeleteFileW(platform::Widen(AppFile("opened.log")).c_str());

  PostMessageW(Child(main, ids::SettingsShowMainWindow), WM_KEYDOWN, VK_F1, 0);
  ASSERT_TRUE(WaitForOpened(helpPage));
  DeleteFileW(platform::Widen(AppFile("opened.log")).c_str());

  SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, 5, 0);
  Click(Child(main, ids::AboutHelpButton));
  EXPECT_TRUE(WaitForOpened(helpPage));
}

TEST_F(MainWindowTest, TheWebLinkOpensThePublishersAddress) {
  RecordOpenedDocuments();
  ASSERT_NE(StartProgram(), nullptr);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, 5, 0);
  HWND link = Child(main, ids::AboutWebAddress);
  EXPECT_EQ(WindowText(link), "http://www.parawarden.example/");
  PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_TRUE(WaitForOpened("www.parawarden.example"));
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

TEST_F(MainWindowTest, KeyboardMovesBetweenControlsAndMnemonicsPressButtons) {
  // The keyboard goes to the active window.
  HWND main = StartToActiveMainWindow();
  ASSERT_NE(main, nullptr);
  HWND tabs = Child(main, ids::MainTabs);
  SendMessageW(tabs, TCM_SETCURFOCUS, 4, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(Child(main, ids::SettingsSaveButton)) != FALSE; }));
  // Tab from the tab control reaches the first check box of the page.
  PressKey(VK_TAB);
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof gui;
  EXPECT_TRUE(WaitUntil([&] {
    return GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &gui) &&
           gui.hwndFocus == Child(main, ids::SettingsLoadOnStartup);
  })) << "focus on control " << GetDlgCtrlID(gui.hwndFocus) << " " << gui.hwndFocus;
  // Alt+S presses "&Save Settings", which stores the preferences.
  PressKey('S', true);
  EXPECT_TRUE(WaitUntil([&] { return GetSetting("AUTOSHOW").has_value(); }));

  // Away to another application and back: the focus stays where it was.
  HWND focused = FocusedControl(main);
  ASSERT_TRUE(IsChild(main, focused) && focused != tabs);
  ASSERT_TRUE(ActivateAfterAnotherApplication(main));
  EXPECT_TRUE(WaitUntil([&] { return FocusedControl(main) == focused; }))
      << "focus on control " << GetDlgCtrlID(FocusedControl(main));
}

}  // namespace
}  // namespace e2e
