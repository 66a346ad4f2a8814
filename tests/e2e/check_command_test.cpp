// "/check <folder> ... [/report <file>]": a scan for scripts, without any
// window, that answers with its exit code.
#include "driver/scan_fixture.h"

namespace e2e {
namespace {

constexpr const char* kExclusionsKey = "Software\\VB and VBA Program Settings\\Tallowick Parawarden\\EXCLUSIONS";

class CheckCommandTest : public ScanFixture {
 protected:
  void TearDown() override {
    check_.Kill();
    ScanFixture::TearDown();
  }

  // Runs the check to its end, with no window of its own on the way; its
  // exit code, or nothing when it did not end in time.
  std::optional<DWORD> Check(const std::string& arguments) {
    if (!check_.Start(appFolder(), "/check " + arguments)) return std::nullopt;
    bool windowSeen = false;
    WaitUntil([&] {
      windowSeen = windowSeen || !check_.TopLevelWindows(true).empty();
      return check_.HasExited();
    }, 60000);
    EXPECT_FALSE(windowSeen);
    return check_.ExitCode();
  }

  App check_;
};

// Excluded files are passed over as in the window.
TEST_F(CheckCommandTest, ACleanFolderAnswersZero) {
  MakeFile("Clean\\notes.txt");
  SetUserString(kExclusionsKey, MakeFile("Clean\\bar.dll"), "Adware");
  App::Install(appFolder(), App::DefaultRefDat());
  EXPECT_EQ(Check("\"" + tree_ + "\\Clean\" /report \"" + AppFile("check.log") + "\""), 0u);
  EXPECT_EQ(ReadFileText(AppFile("check.log")).value_or("").rfind("NO Adware found...\r\n\r\nTest Run : ", 0), 0u);
  EXPECT_FALSE(IsFolder(AppFile("Reports")));
}

// The way the README shows: cmd.exe waits for a program with windows only
// through "start /wait". An earlier report is never replaced.
TEST_F(CheckCommandTest, AnInfectedFolderAnswersOneToABatchFileWithAReportBesideTheEarlierOne) {
  MakeFile("Infected\\deep\\down\\foo.exe");
  App::Install(appFolder(), App::DefaultRefDat());
  WriteFileBytes(AppFile("check.log"), "earlier");
  const std::string script = AppFile("check.bat");
  WriteFileBytes(script, "start \"\" /wait \"" + AppFile("Parawarden.exe") + "\" /check \"" + tree_ +
                             "\\Infected\" /report \"" + AppFile("check.log") + "\"\r\nexit /b %ERRORLEVEL%\r\n");
  ASSERT_TRUE(check_.StartExe("C:\\windows\\system32\\cmd.exe", "/c \"" + script + "\""));
  ASSERT_TRUE(check_.WaitForExit(60000));
  EXPECT_EQ(check_.ExitCode(), 1u);
  EXPECT_EQ(ReadFileText(AppFile("check.log")), "earlier");
  const std::string report = ReadFileText(AppFile("check (2).log")).value_or("");
  EXPECT_EQ(report.rfind("\r\nAdware found >" + tree_ + "\\Infected\\deep\\down\\foo.exe\r\nTest Run : ", 0), 0u)
      << report;
  EXPECT_TRUE(PathExists(tree_ + "\\Infected\\deep\\down\\foo.exe"));
}

TEST_F(CheckCommandTest, AMissingFolderAnswersTwoAndTheReportSaysWhy) {
  MakeFile("Infected\\foo.exe");
  App::Install(appFolder(), App::DefaultRefDat());
  EXPECT_EQ(Check("\"" + tree_ + "\\Infected\" \"" + tree_ + "\\Missing\" /report \"" + AppFile("check.log") + "\""),
            2u);
  EXPECT_EQ(ReadFileText(AppFile("check.log")),
            "There is no folder \"" + tree_ + "\\Missing\", so nothing was checked.\r\n");
}

// The running copy is neither handed the check nor disturbed by it.
TEST_F(CheckCommandTest, RunsBesideTheRunningProgram) {
  MakeFile("Infected\\foo.exe");
  ASSERT_NE(StartProgram(), nullptr);
  EXPECT_EQ(Check("\"" + tree_ + "\\Infected\""), 1u);
  EXPECT_EQ(app_.FindTopLevel("TallowickParawardenScan", std::nullopt), nullptr);
  EXPECT_FALSE(app_.HasExited());
}

}  // namespace
}  // namespace e2e
