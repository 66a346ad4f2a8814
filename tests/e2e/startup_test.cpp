// Start-up: the definitions check, the splash window, the main window's
// first state, the folders beside the program, and the hand-over to a copy
// that is already running.
#include <set>

#include "driver/program_test.h"

namespace e2e {
namespace {

const char* const kMissingReference =
    "Reference file not found cannot launch application. Contact provider for help\r\n"
    "Application will now terminate";

struct MissingCase {
  const char* name;
  std::optional<std::string> refDat;
  friend void PrintTo(const MissingCase& c, std::ostream* os) { *os << c.name; }
};

class MissingReferenceTest : public ProgramTest, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(MissingReferenceTest, EndsAfterTheCriticalMessageWithoutShowingAnyOtherWindow) {
  App::Install(appFolder(), GetParam().refDat);
  ASSERT_TRUE(app_.Start(appFolder()));
  std::set<std::string> seen;
  HWND box = nullptr;
  WaitUntil([&] {
    for (HWND hwnd : app_.TopLevelWindows(true)) {
      seen.insert(ClassName(hwnd));
      if (ClassName(hwnd) == "#32770") box = hwnd;
    }
    return box != nullptr;
  });
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), kMissingReference);
  EXPECT_EQ(WindowText(box), "Tallowick Parawarden");
  EXPECT_EQ(seen, std::set<std::string>{"#32770"});
  AnswerMessageBox(box, IDOK);
  EXPECT_TRUE(app_.WaitForExit());
  EXPECT_FALSE(GetSetting("TOTALOBJECTSREMOVED").has_value());
}

INSTANTIATE_TEST_SUITE_P(Startup, MissingReferenceTest,
                         ::testing::Values(MissingCase{"Missing", std::nullopt}, MissingCase{"Empty", std::string()}),
                         [](const auto& info) { return std::string(info.param.name); });

using StartupTest = ProgramTest;

TEST_F(StartupTest, SplashAndMainWindowCarryTheirTextsAndSixTabs) {
  HWND splash = StartProgram();
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(WindowText(Child(splash, ids::SplashVersion)), "Version 2.0");
  EXPECT_EQ(WindowText(Child(splash, ids::SplashPublisher)), "Orvane Software Solutions");
  EXPECT_EQ(WindowText(Child(splash, ids::SplashAction)), "Loading Reference file...");

  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(WindowText(main), "Tallowick Parawarden 2.0");
  EXPECT_EQ(WindowText(Child(main, ids::AboutName)), "Tallowick Parawarden 2.0");
  EXPECT_EQ(TabCaptions(Child(main, ids::MainTabs)),
            (std::vector<std::string>{"Status", "Scan", "Quarantine", "Updates", "Settings", "About"}));
  EXPECT_EQ(SelectedTab(Child(main, ids::MainTabs)), 0);
  EXPECT_EQ(WindowText(Child(main, ids::StatusDefinitionsValue)), "Ver1.45 test definitions");
  EXPECT_EQ(WindowText(Child(main, ids::StatusProtectionValue)), "4 Adware/Spyware types");
  EXPECT_TRUE(IsChecked(Child(main, ids::ScanFullOption)));
}

// Only the copy that a removal cut short by a crash goes.
TEST_F(StartupTest, CreatesItsFoldersAndLeavesAnExistingQuarantineAlone) {
  CreateDirectoryW(platform::Widen(AppFile("Quarantine")).c_str(), nullptr);
  WriteFileBytes(AppFile("Quarantine\\kept.exe"), "kept");
  WriteFileBytes(AppFile("Quarantine\\cut.exe.unfinished"), "cut short");
  ASSERT_NE(StartProgram(), nullptr);
  EXPECT_TRUE(IsFolder(AppFile("Reports")));
  EXPECT_TRUE(IsFolder(AppFile("Quarantine")));
  EXPECT_EQ(ReadFileText(AppFile("Quarantine\\kept.exe")), std::optional<std::string>("kept"));
  EXPECT_FALSE(PathExists(AppFile("Quarantine\\cut.exe.unfinished")));
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(ListItems(Child(main, ids::QuarantineList)), std::vector<std::string>{"kept.exe"});
}

TEST_F(StartupTest, StartsEvenWhenFilesStandWhereItsFoldersBelong) {
  WriteFileBytes(AppFile("Quarantine"), "in the way");
  WriteFileBytes(AppFile("Reports"), "in the way");
  ASSERT_NE(StartProgram(), nullptr);
  EXPECT_NE(VisibleMainWindow(), nullptr);
  EXPECT_FALSE(IsFolder(AppFile("Quarantine")));
}

struct AutoCase {
  const char* name;
  const char* autoShow;  // nullptr: not stored
  const char* autoScan;
  bool mainVisible;
  bool scanRuns;  // the scan window then stands in for the main window
  friend void PrintTo(const AutoCase& c, std::ostream* os) { *os << c.name; }
};

class AutoStartTest : public ProgramTest, public ::testing::WithParamInterface<AutoCase> {};

TEST_P(AutoStartTest, ShowsWhatThePreferencesAskFor) {
  const AutoCase& c = GetParam();
  if (c.autoShow) SetSetting("AUTOSHOW", c.autoShow);
  if (c.autoScan) SetSetting("AUTOSCAN", c.autoScan);
  HWND splash = StartProgram();
  ASSERT_NE(splash, nullptr);
  HWND main = app_.MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(IsWindowVisible(main) != FALSE, c.mainVisible);
  std::set<HWND> expected = {splash};
  if (c.mainVisible) expected.insert(main);
  HWND scan = app_.FindTopLevel("TallowickParawardenScan", std::nullopt);
  EXPECT_EQ(scan != nullptr, c.scanRuns);
  if (scan != nullptr) expected.insert(scan);
  const std::vector<HWND> visible = app_.TopLevelWindows(true);
  EXPECT_EQ(std::set<HWND>(visible.begin(), visible.end()), expected);
  EXPECT_NE(app_.TrayWindow(), nullptr);
  if (c.scanRuns) {
    EXPECT_EQ(SelectedTab(Child(main, ids::MainTabs)), 1);
    EXPECT_TRUE(IsChecked(Child(main, ids::ScanFullOption)));
    EXPECT_FALSE(IsChecked(Child(main, ids::ScanQuickOption)));
  } else {
    EXPECT_EQ(SelectedTab(Child(main, ids::MainTabs)), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Startup, AutoStartTest,
    ::testing::Values(AutoCase{"HiddenByPreference", "0", "0", false, false},
                      AutoCase{"ShownByDefault", nullptr, nullptr, true, false},
                      AutoCase{"ShownByPreference", "1", "0", true, false},
                      AutoCase{"AutoScanRunsAFullScanFromTheScanTab", "0", "1", false, true},
                      AutoCase{"AutoScanTwoStartsNothing", "0", "2", false, false},
                      AutoCase{"AutoScanOnePointFiveStartsNothing", "0", "1.5", false, false},
                      AutoCase{"AutoShowNotANumberReadsAsOff", "yes", "0", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupTest, SecondStartShowsTheFirstCopysHiddenOrMinimisedMainWindowAndEnds) {
  SetSetting("AUTOSHOW", "0");
  ASSERT_NE(StartProgram(), nullptr);
  HWND main = app_.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_FALSE(IsWindowVisible(main));

  App second;
  ASSERT_TRUE(second.Start(appFolder()));
  EXPECT_TRUE(second.WaitForExit());
  EXPECT_TRUE(second.TopLevelWindows(true).empty());
  EXPECT_NE(app_.WaitForVisible(main), nullptr);
  EXPECT_FALSE(app_.HasExited());

  // Minimised, it comes back as it was before.
  ShowWindow(main, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }));
  App third;
  ASSERT_TRUE(third.Start(appFolder()));
  EXPECT_TRUE(third.WaitForExit());
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main) && IsWindowVisible(main); }));
}

// Any program may make the mutex a running copy holds; without a running
// copy's window behind it, it keeps nothing from starting.
TEST_F(StartupTest, AMutexHeldByAnotherProgramDoesNotKeepItFromStarting) {
  const platform::UniqueHandle squatter(CreateMutexW(nullptr, FALSE, L"TallowickParawarden.SingleInstance"));
  ASSERT_TRUE(squatter);
  ASSERT_NE(StartProgram(), nullptr);
  EXPECT_NE(VisibleMainWindow(), nullptr);
  App second;
  ASSERT_TRUE(second.Start(appFolder()));
  EXPECT_TRUE(second.WaitForExit());
  EXPECT_FALSE(app_.HasExited());
}

}  // namespace
}  // namespace e2e
