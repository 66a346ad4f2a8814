// The splash window's three picture buttons.
#include "driver/program_test.h"

namespace e2e {
namespace {

using SplashTest = ProgramTest;

TEST_F(SplashTest, StartClosesItAndReloadsTheDefinitionsWithoutDoubling) {
  HWND splash = StartProgram();
  ASSERT_NE(splash, nullptr);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(WindowText(Child(main, ids::StatusProtectionValue)), "4 Adware/Spyware types");
  WriteFileBytes(AppFile("ref.dat"), "Ver1.50 newer\r\nfoo.exe|Adware\r\n");

  HWND start = Child(splash, ids::SplashStart);
  EXPECT_EQ(WindowText(start), "Start Parawarden");
  Click(start);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(splash); }));
  EXPECT_TRUE(IsWindowVisible(main));
  // The reloaded list shows at the main window's next activation.
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
  app_.TrayEvent(WM_LBUTTONDBLCLK);
  ASSERT_NE(app_.WaitForVisible(main), nullptr);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(Child(main, ids::StatusProtectionValue)) == "2 Adware/Spyware types"; }));
  EXPECT_EQ(WindowText(Child(main, ids::StatusDefinitionsValue)), "Ver1.50 newer");
}

TEST_F(SplashTest, StartAgainEndsWithTheMissingMessageWhenTheDefinitionsWereRemoved) {
  HWND splash = StartProgram();
  ASSERT_NE(splash, nullptr);
  DeleteFileW(platform::Widen(AppFile("ref.dat")).c_str());
  Click(Child(splash, ids::SplashStart));
  HWND box = app_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box).substr(0, 25), "Reference file not found ");
  AnswerMessageBox(box, IDOK);
  EXPECT_TRUE(app_.WaitForExit());
}

TEST_F(SplashTest, ViewLicenseOpensTheLicenceTextAndLeavesTheSplashUp) {
  const char* recorder = std::getenv("PW_RECORDER_EXE");
  ASSERT_NE(recorder, nullptr);
  ASSERT_TRUE(
      CopyFileW(platform::Widen(recorder).c_str(), platform::Widen(AppFile("open_recorder.exe")).c_str(), FALSE));
  AssociateDocumentsWith(AppFile("open_recorder.exe"));
  HWND splash = StartProgram();
  ASSERT_NE(splash, nullptr);
  HWND license = Child(splash, ids::SplashLicense);
  EXPECT_EQ(WindowText(license), "View License");
  Click(license);
  EXPECT_TRUE(WaitUntil([&] {
    return ReadFileText(AppFile("opened.log")).value_or("").find(AppFile("eula.txt")) != std::string::npos;
  }));
  EXPECT_TRUE(IsWindowVisible(splash));
  EXPECT_EQ(WindowText(Child(splash, ids::SplashVersion)), "Version 2.0");
}

TEST_F(SplashTest, ExitEndsTheProgramWithoutStoringAnything) {
  HWND splash = StartProgram();
  ASSERT_NE(splash, nullptr);
  ASSERT_NE(VisibleMainWindow(), nullptr);
  HWND exitButton = Child(splash, ids::SplashExit);
  EXPECT_EQ(WindowText(exitButton), "Exit");
  Click(exitButton);
  EXPECT_TRUE(app_.WaitForExit());
  for (const char* key : {"TOTALOBJECTSREMOVED", "AUTORUN", "AUTOSCAN", "AUTOUPDATE", "AUTOLOG", "AUTOSHOW"}) {
    EXPECT_FALSE(GetSetting(key).has_value()) << key;
  }
}

}  // namespace
}  // namespace e2e
