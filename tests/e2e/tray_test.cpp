// The notification-area icon: its mouse codes, its menu, and ending the
// program from it.
#include "driver/program_test.h"

namespace e2e {
namespace {

constexpr int kShow = 0;
constexpr int kAbout = 2;
constexpr int kExit = 3;

using TrayTest = ProgramTest;

TEST_F(TrayTest, ShowAndDoubleClickBringBackTheHiddenMainWindow) {
  SetSetting("AUTOSHOW", "0");
  ASSERT_NE(StartProgram(), nullptr);
  HWND main = app_.MainWindow();
  ASSERT_FALSE(IsWindowVisible(main));
  ASSERT_TRUE(app_.ChooseTrayMenuItem(kShow));
  EXPECT_NE(app_.WaitForVisible(main), nullptr);

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
  app_.TrayEvent(WM_LBUTTONDBLCLK);
  EXPECT_NE(app_.WaitForVisible(main), nullptr);
}

TEST_F(TrayTest, AboutShowsTheAboutTabWhicheverTabWasSelected) {
  HWND splash = StartProgram();
  ASSERT_NE(splash, nullptr);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  HWND tabs = Child(main, ids::MainTabs);
  SendMessageW(tabs, TCM_SETCURFOCUS, 4, 0);
  ASSERT_EQ(SelectedTab(tabs), 4);
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));

  ASSERT_TRUE(app_.ChooseTrayMenuItem(kAbout));
  EXPECT_NE(app_.WaitForVisible(main), nullptr);
  EXPECT_TRUE(WaitUntil([&] { return SelectedTab(tabs) == 5; }));
  EXPECT_TRUE(IsWindowVisible(Child(main, ids::AboutName)));
  EXPECT_FALSE(IsWindowVisible(Child(main, ids::SettingsShowMainWindow)));
}

TEST_F(TrayTest, MenuOpensOnLeftPressAndRightReleaseOnly) {
  SetSetting("AUTOSHOW", "0");
  ASSERT_NE(StartProgram(), nullptr);
  const auto menuShown = [&] {
    HWND menu = app_.FindTopLevel("#32768", std::nullopt);
    return menu != nullptr && IsWindowVisible(menu);
  };
  for (UINT ignored : {WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_MBUTTONDOWN}) {
    app_.TrayEvent(ignored);
    EXPECT_FALSE(WaitUntil(menuShown, 400)) << "mouse code " << ignored;
  }
  for (UINT opening : {WM_LBUTTONDOWN, WM_RBUTTONUP}) {
    app_.TrayEvent(opening);
    ASSERT_TRUE(WaitUntil(menuShown)) << "mouse code " << opening;
    PostMessageW(app_.FindTopLevel("#32768", std::nullopt), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !menuShown(); }));
  }
  EXPECT_FALSE(IsWindowVisible(app_.MainWindow()));
}

TEST_F(TrayTest, ExitAskedAndCancelledLeavesEverythingAsItWas) {
  ASSERT_NE(StartProgram(), nullptr);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(app_.ChooseTrayMenuItem(kExit));
  HWND box = app_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), "Do you wish to end the application?");
  EXPECT_EQ(WindowText(box), "Tallowick Parawarden");
  EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
  AnswerMessageBox(box, IDCANCEL);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_FALSE(app_.WaitForExit(500));
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_FALSE(GetSetting("TOTALOBJECTSREMOVED").has_value());
}

TEST_F(TrayTest, ExitConfirmedStoresTheTotalAndEndsEvenWithTheMainWindowNeverShown) {
  SetSetting("AUTOSHOW", "0");
  SetSetting("TOTALOBJECTSREMOVED", "41");
  ASSERT_NE(StartProgram(), nullptr);
  ASSERT_TRUE(app_.ChooseTrayMenuItem(kExit));
  HWND box = app_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  // Written afresh by the exit, not left over from before.
  SetSetting("TOTALOBJECTSREMOVED", "removed meanwhile");
  AnswerMessageBox(box, IDOK);
  EXPECT_TRUE(app_.WaitForExit());
  EXPECT_EQ(GetSetting("TOTALOBJECTSREMOVED"), std::optional<std::string>("41"));
}

}  // namespace
}  // namespace e2e
