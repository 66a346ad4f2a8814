// "/scan <folder>": a scan run of one folder, started fresh or handed to the
// copy that is already running, and the message for a folder that is not
// there.
#include "driver/scan_fixture.h"

namespace e2e {
namespace {

class ScanCommandTest : public ScanFixture {
 protected:
  void TearDown() override {
    second_.Kill();
    ScanFixture::TearDown();
  }

  std::string ScanArguments(const std::string& folder) { return "/scan \"" + folder + "\""; }

  App second_;
};

TEST_F(ScanCommandTest, ScansTheFolderWhenStartedWithIt) {
  MakeFile("Picked\\foo.exe");
  MakeFile("Elsewhere\\bar.dll");
  App::Install(appFolder(), App::DefaultRefDat());
  ASSERT_TRUE(app_.Start(appFolder(), ScanArguments(tree_ + "\\Picked\\")));
  HWND scan = app_.WaitForTopLevel("TallowickParawardenScan", std::nullopt, 15000);
  ASSERT_NE(scan, nullptr);
  ASSERT_TRUE(WaitForComplete(scan));
  EXPECT_EQ(Lines(scan), std::vector<std::string>{tree_ + "\\Picked\\foo.exe > Adware"});
}

TEST_F(ScanCommandTest, ARunningCopyTakesTheFolderOver) {
  MakeFile("Picked\\foo.exe");
  ASSERT_NE(StartProgram(), nullptr);
  ASSERT_TRUE(second_.Start(appFolder(), ScanArguments(tree_ + "\\Picked")));
  EXPECT_TRUE(second_.WaitForExit());
  HWND scan = app_.WaitForTopLevel("TallowickParawardenScan", std::nullopt);
  ASSERT_NE(scan, nullptr);
  ASSERT_TRUE(WaitForComplete(scan));
  EXPECT_EQ(Lines(scan), std::vector<std::string>{tree_ + "\\Picked\\foo.exe > Adware"});
}

TEST_F(ScanCommandTest, AMissingFolderGetsAMessageAndNothingElse) {
  App::Install(appFolder(), App::DefaultRefDat());
  ASSERT_TRUE(app_.Start(appFolder(), ScanArguments(tree_ + "\\Missing")));
  HWND box = app_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), "The folder \"" + tree_ + "\\Missing\" cannot be found, so it was not scanned.");
  EXPECT_EQ(app_.TopLevelWindows(true), std::vector<HWND>{box});
  AnswerMessageBox(box, IDOK);
  EXPECT_TRUE(app_.WaitForExit());
}

}  // namespace
}  // namespace e2e
