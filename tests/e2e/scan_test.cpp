// Scan runs through the real program: what is walked, what is recorded and
// counted, the scan window's states, Abort, the report file, and the usage
// figures a run stores. Full scans walk C:, the prefix's system drive, and
// E:, the test run's scan drive, which besides each test's own tree holds a
// fixed tree whose links lead back into it (two files, each to be examined
// once) and a bulk tree of 60,000 files, one bulkhit.exe in each of its 600
// folders, that keeps a scan busy.
#include <windows.h>

#include <regex>

#include "driver/scan_fixture.h"

namespace e2e {
namespace {

class ScanTest : public ScanFixture {};

TEST_F(ScanTest, FullScanRecordsDetectionsOnEveryDriveWithTheSystemDriveFirstAndWritesTheReport) {
  SetSetting("AUTOLOG", "1");
  MakeFile("Tools\\Sub\\FOO.EXE");
  MakeFile("Tools\\harmless.exe");
  const std::string rootFile = "E:\\rootonly.exe";
  extraFiles_.push_back(rootFile);
  WriteFileBytes(rootFile, "in the drive root");
  WriteFileBytes(AppFile("foo.exe"), "on the first drive");
  HWND main = StartAndShowMain("Ver1.0\r\nfoo.exe|Adware\r\nrootonly.exe|Spyware - root\r\n");
  ASSERT_NE(main, nullptr);

  HWND scan = RunScan(main, true);
  ASSERT_NE(scan, nullptr);
  EXPECT_FALSE(IsWindowVisible(main));
  // The drive letters come from the drive list, the rest from the disk.
  const std::string appFoo = "c:" + AppFile("foo.exe").substr(2);
  EXPECT_EQ(Lines(scan), (std::vector<std::string>{appFoo + " > Adware", "e:\\rootonly.exe > Spyware - root",
                                                   "e:\\" + testName_ + "\\Tools\\Sub\\foo.exe > Adware"}));
  EXPECT_EQ(Label(scan, ids::ScanWindowFoundCount), "3 Spyware / Adware found");
  EXPECT_EQ(Label(scan, ids::ScanWindowScannedCount), std::to_string(3 + FixtureFiles()) + " Objects scanned");
  EXPECT_EQ(Label(scan, ids::ScanWindowFolder), "");
  EXPECT_TRUE(IsWindowVisible(Child(scan, ids::ScanWindowExit)) && IsWindowEnabled(Child(scan, ids::ScanWindowExit)));
  EXPECT_FALSE(IsWindowVisible(Child(scan, ids::ScanWindowAbort)));
  EXPECT_TRUE(IsWindowEnabled(Child(scan, ids::ScanWindowQuarantine)));
  EXPECT_EQ(GetSetting("SCANCOUNT"), std::optional<std::string>("1"));
  EXPECT_FALSE(GetSetting("LASTRUN").value_or("").empty());

  const std::vector<std::string> reports = Reports();
  ASSERT_EQ(reports.size(), 1u);
  SYSTEMTIME today;
  GetLocalTime(&today);
  const std::string datePart =
      std::to_string(today.wYear) + "-" + std::to_string(today.wMonth) + "-" + std::to_string(today.wDay);
  EXPECT_TRUE(std::regex_match(reports[0], std::regex(datePart + "[0-9]+(\\.[0-9]{1,2})?\\.log"))) << reports[0];
  const std::string content = ReadFileText(AppFile("Reports\\" + reports[0])).value_or("");
  const std::string expectedStart =
      "\r\nAdware found >" + appFoo + "\r\nAdware found >e:\\rootonly.exe\r\nAdware found >e:\\" + testName_ +
      "\\Tools\\Sub\\foo.exe\r\nTest Run : ";
  EXPECT_EQ(content.substr(0, expectedStart.size()), expectedStart);
  EXPECT_TRUE(std::regex_search(content, std::regex("Test Run : [^\r\n]+ at [^\r\n]+\r\n\r\n$"))) << content;

  // Exit stores the removed-objects total and brings the main window back.
  SetSetting("TOTALOBJECTSREMOVED", "stale");
  Click(Child(scan, ids::ScanWindowExit));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(scan); }));
  EXPECT_NE(app_.WaitForVisible(main), nullptr);
  EXPECT_EQ(GetSetting("TOTALOBJECTSREMOVED"), std::optional<std::string>("0"));
}

TEST_F(ScanTest, QuickScanWalksOnlyTheWindowsFolder) {
  MakeFile("notepad.exe");
  HWND main = StartAndShowMain("Ver1.0\r\nnotepad.exe|Test entry\r\n");
  ASSERT_NE(main, nullptr);
  HWND scan = RunScan(main, false);
  ASSERT_NE(scan, nullptr);
  wchar_t windows[MAX_PATH];
  const std::string windowsFolder = platform::Narrow(std::wstring(windows, GetWindowsDirectoryW(windows, MAX_PATH)));
  const std::vector<std::string> lines = Lines(scan);
  ASSERT_FALSE(lines.empty());
  for (const std::string& line : lines) {
    EXPECT_EQ(line.substr(0, windowsFolder.size() + 1), windowsFolder + "\\") << line;
    EXPECT_EQ(line.substr(line.size() - 25), "\\notepad.exe > Test entry") << line;
  }
}

TEST_F(ScanTest, CountsEachExaminedFileOnceHiddenAndSystemFilesAmongThem) {
  MakeFile("Deep\\dual.dll");
  MakeFile("Deep\\hidden.dll", FILE_ATTRIBUTE_HIDDEN);
  MakeFile("Deep\\system.dll", FILE_ATTRIBUTE_SYSTEM);
  MakeFile("Empty\\Nothing\\Here\\none.txt");
  HWND main = StartAndShowMain(
      "Ver1.0 dual.dll|header is never an entry\r\n"
      "dual.dll|First description\r\n"
      "hidden.dll|Hidden\r\n"
      "system.dll|System\r\n"
      "dual.dll\r\n"
      "DUAL.DLL|Second description\r\n");
  ASSERT_NE(main, nullptr);
  HWND scan = RunScan(main, true);
  ASSERT_NE(scan, nullptr);
  const std::string folder = "e:\\" + testName_ + "\\Deep\\";
  EXPECT_EQ(Lines(scan), (std::vector<std::string>{folder + "dual.dll > First description",
                                                   folder + "DUAL.DLL > Second description",
                                                   folder + "hidden.dll > Hidden", folder + "system.dll > System"}));
  EXPECT_EQ(Label(scan, ids::ScanWindowScannedCount), std::to_string(4 + FixtureFiles()) + " Objects scanned");
  EXPECT_EQ(Label(scan, ids::ScanWindowFoundCount), "4 Spyware / Adware found");
}

TEST_F(ScanTest, LinksBackIntoTheTreeAndALockedFolderDoNotStopTheScan) {
  MakeFile("Open\\visible.exe");
  MakeFile("Locked\\inside.exe");
  // Held without sharing by this process: the program cannot list it, as
  // with a folder it may not read (tests run as root, so permission bits
  // would prove nothing).
  platform::UniqueHandle locked(CreateFileW(platform::Widen(tree_ + "\\Locked").c_str(), GENERIC_READ, 0, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  ASSERT_NE(locked.get(), INVALID_HANDLE_VALUE);
  HWND main = StartAndShowMain(
      "Ver1.0\r\nlooped.exe|Looped\r\ninner.exe|Inner\r\nvisible.exe|Visible\r\ninside.exe|Inside\r\n");
  ASSERT_NE(main, nullptr);
  HWND scan = RunScan(main, true);
  ASSERT_NE(scan, nullptr);
  EXPECT_EQ(Lines(scan), (std::vector<std::string>{"e:\\loop-fixture\\inner\\inner.exe > Inner",
                                                   "e:\\loop-fixture\\inner\\alias\\looped.exe > Looped",
                                                   "e:\\" + testName_ + "\\Open\\visible.exe > Visible"}));
  EXPECT_EQ(Label(scan, ids::ScanWindowScannedCount), std::to_string(1 + FixtureFiles()) + " Objects scanned");
}

TEST_F(ScanTest, PathsLongerThan260CharactersAreWalkedAndReported) {
  std::string relative;
  while (relative.size() < 280) relative += "LongFolderName" + std::to_string(relative.size()) + "\\";
  const std::wstring extended = platform::Widen("\\\\?\\" + tree_ + "\\");
  std::wstring partial = extended;
  for (size_t start = 0, slash; (slash = relative.find('\\', start)) != std::string::npos; start = slash + 1) {
    partial += platform::Widen(relative.substr(start, slash - start + 1));
    CreateDirectoryW(partial.c_str(), nullptr);
  }
  platform::UniqueHandle file(CreateFileW((partial + L"foo.exe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(file.get(), INVALID_HANDLE_VALUE);
  file.reset();
  HWND main = StartAndShowMain("Ver1.0\r\nfoo.exe|Adware\r\n");
  ASSERT_NE(main, nullptr);
  HWND scan = RunScan(main, true);
  ASSERT_NE(scan, nullptr);
  const std::string folder = "e:\\" + testName_ + "\\" + relative.substr(0, relative.size() - 1);
  EXPECT_GT(folder.size(), 260u);
  EXPECT_EQ(Lines(scan), std::vector<std::string>{folder + "\\foo.exe > Adware"});
  RemoveTree("\\\\?\\" + tree_);
}

TEST_F(ScanTest, AbortStopsAtOnceKeepsTheLinesFoundAndReportsExactlyThose) {
  SetSetting("AUTOLOG", "1");
  HWND main = StartAndShowMain("Ver1.0\r\nbulkhit.exe|Adware\r\n");
  ASSERT_NE(main, nullptr);
  HWND scan = StartScan(main, true);
  ASSERT_NE(scan, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return LineCount(scan) >= 3; }, 30000));
  Click(Child(scan, ids::ScanWindowAbort));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(Child(scan, ids::ScanWindowExit)) != FALSE; }));
  EXPECT_TRUE(IsWindowEnabled(Child(scan, ids::ScanWindowExit)));
  EXPECT_FALSE(IsWindowVisible(Child(scan, ids::ScanWindowAbort)));
  // The second click of a double-click on Abort lands on Exit, in its place.
  Click(Child(scan, ids::ScanWindowExit));
  ASSERT_TRUE(WaitForComplete(scan));
  const std::vector<std::string> lines = Lines(scan);
  EXPECT_LT(lines.size(), 600u);
  const std::string counted = Label(scan, ids::ScanWindowScannedCount);
  EXPECT_LT(std::stoi(counted), FixtureFiles());
  EXPECT_EQ(Label(scan, ids::ScanWindowFoundCount), std::to_string(lines.size()) + " Spyware / Adware found");

  const std::vector<std::string> reports = Reports();
  ASSERT_EQ(reports.size(), 1u);
  std::string expected;
  for (const std::string& line : lines) expected += "\r\nAdware found >" + line.substr(0, line.find(" > "));
  const std::string content = ReadFileText(AppFile("Reports\\" + reports[0])).value_or("");
  EXPECT_EQ(content.substr(0, expected.size() + 13), expected + "\r\nTest Run : ");
}

TEST_F(ScanTest, ASecondRunStartsFromNothingAndCountsOneMoreScan) {
  SetSetting("SCANCOUNT", "41");
  MakeFile("foo.exe");
  HWND main = StartAndShowMain("Ver1.0\r\nfoo.exe|Adware\r\n");
  ASSERT_NE(main, nullptr);
  HWND scan = RunScan(main, true);
  ASSERT_NE(scan, nullptr);
  const std::vector<std::string> firstLines = Lines(scan);
  const std::string firstCount = Label(scan, ids::ScanWindowScannedCount);
  ASSERT_EQ(firstLines.size(), 1u);
  Click(Child(scan, ids::ScanWindowExit));
  ASSERT_NE(app_.WaitForVisible(main), nullptr);

  HWND second = RunScan(main, true);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Lines(second), firstLines);
  EXPECT_EQ(Label(second, ids::ScanWindowScannedCount), firstCount);
  EXPECT_EQ(GetSetting("SCANCOUNT"), std::optional<std::string>("43"));
}

TEST_F(ScanTest, ReportsAreWrittenOnlyWhenLoggingReadsAsOne) {
  HWND main = StartAndShowMain("Ver1.0\r\nfoo.exe|Adware\r\n");
  ASSERT_NE(main, nullptr);
  for (const char* autoLog : {"0", "2", "", "1.0"}) {
    SetSetting("AUTOLOG", autoLog);
    HWND scan = RunScan(main, true);
    ASSERT_NE(scan, nullptr) << autoLog;
    Click(Child(scan, ids::ScanWindowExit));
    ASSERT_NE(app_.WaitForVisible(main), nullptr);
    EXPECT_EQ(Reports().size(), std::string(autoLog) == "1.0" ? 1u : 0u) << autoLog;
  }
  const std::vector<std::string> reports = Reports();
  ASSERT_EQ(reports.size(), 1u);
  const std::string content = ReadFileText(AppFile("Reports\\" + reports[0])).value_or("");
  const std::string expectedStart = "NO Adware found...\r\n\r\nTest Run : ";
  EXPECT_EQ(content.substr(0, expectedStart.size()), expectedStart);
}

TEST_F(ScanTest, AReportThatCannotBeWrittenIsToldAndLeavesNoPartialFile) {
  SetSetting("AUTOLOG", "1");
  HWND main = StartAndShowMain("Ver1.0\r\nfoo.exe|Adware\r\n");
  ASSERT_NE(main, nullptr);
  // A removed Reports folder is made again.
  RemoveTree(AppFile("Reports"));
  HWND scan = RunScan(main, true);
  ASSERT_NE(scan, nullptr);
  EXPECT_EQ(Reports().size(), 1u);
  Click(Child(scan, ids::ScanWindowExit));
  ASSERT_NE(app_.WaitForVisible(main), nullptr);

  // A file standing in its place cannot be replaced by a folder.
  RemoveTree(AppFile("Reports"));
  WriteFileBytes(AppFile("Reports"), "in the way");
  scan = StartScan(main, true);
  ASSERT_NE(scan, nullptr);
  HWND box = app_.WaitForMessageBox(60000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box).substr(0, 35), "The scan report could not be saved ");
  AnswerMessageBox(box, IDOK);
  EXPECT_TRUE(WaitForComplete(scan));
  EXPECT_EQ(ReadFileText(AppFile("Reports")), std::optional<std::string>("in the way"));
  EXPECT_FALSE(app_.HasExited());
}

TEST_F(ScanTest, ExitTakesTheKeyboardFocusWhenTheScanEndsAndEnterPressesIt) {
  HWND main = StartAndShowMain("Ver1.0\r\nfoo.exe|Adware\r\n");
  ASSERT_NE(main, nullptr);
  HWND scan = RunScan(main, false);
  ASSERT_NE(scan, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == scan; }));
  EXPECT_TRUE(WaitUntil([&] { return FocusedControl(scan) == Child(scan, ids::ScanWindowExit); }));
  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(scan); }));
}

TEST_F(ScanTest, ScanNowDuringAScanBringsTheScanWindowForwardInsteadOfStartingAgain) {
  HWND main = StartAndShowMain("Ver1.0\r\nbulkhit.exe|Adware\r\n");
  ASSERT_NE(main, nullptr);
  HWND scan = StartScan(main, true);
  ASSERT_NE(scan, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return LineCount(scan) > 0; }, 30000));
  // Shown and pressed in one go: the rest of the bulk tree takes only a
  // fraction of a second, and both reach the program in this order.
  app_.TrayEvent(WM_LBUTTONDBLCLK);
  Click(Child(main, ids::ScanNowButton));
  ASSERT_NE(app_.WaitForVisible(main), nullptr);
  ASSERT_TRUE(WaitForComplete(scan));
  EXPECT_EQ(Lines(scan).size(), 600u);
  EXPECT_EQ(GetSetting("SCANCOUNT"), std::optional<std::string>("1"));
}

TEST_F(ScanTest, DefinitionsReloadedFromTheSplashWindowDuringAScanDoNotDisturbIt) {
  std::string refDat = "Ver1.0\r\n";
  for (int i = 0; i < 50; ++i) refDat += "filler" + std::to_string(i) + ".exe|Filler\r\n";
  refDat += "bulkhit.exe|Adware\r\n";
  HWND splash = StartProgram(refDat);
  ASSERT_NE(splash, nullptr);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  HWND scan = StartScan(main, true);
  ASSERT_NE(scan, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return LineCount(scan) > 0; }, 30000));
  WriteFileBytes(AppFile("ref.dat"), "Ver2.0\r\nother.exe|Other\r\n");
  Click(Child(splash, ids::SplashStart));
  ASSERT_TRUE(WaitForComplete(scan));
  EXPECT_FALSE(app_.HasExited());
  EXPECT_EQ(Lines(scan).size(), 600u);
}

TEST_F(ScanTest, TheScanWindowCannotBeClosedFromItsTitleBar) {
  HWND main = StartAndShowMain("Ver1.0\r\nfoo.exe|Adware\r\n");
  ASSERT_NE(main, nullptr);
  HWND scan = RunScan(main, true);
  ASSERT_NE(scan, nullptr);
  PostMessageW(scan, WM_SYSCOMMAND, SC_CLOSE, 0);
  PostMessageW(scan, WM_CLOSE, 0, 0);
  EXPECT_FALSE(WaitUntil([&] { return !IsWindow(scan); }, 1000));
  EXPECT_FALSE(GetSetting("TOTALOBJECTSREMOVED").has_value());
}

TEST_F(ScanTest, AutoScanRunsAFullScanBeforeTheSplashWindowAppears) {
  SetSetting("AUTOSCAN", "1");
  SetSetting("AUTOSHOW", "0");
  MakeFile("foo.exe");
  HWND splash = StartProgram("Ver1.0\r\nfoo.exe|Adware\r\n");
  ASSERT_NE(splash, nullptr);
  HWND scan = app_.FindTopLevel("TallowickParawardenScan", std::nullopt);
  ASSERT_NE(scan, nullptr);
  EXPECT_EQ(WindowText(scan), "Scan Complete");
  EXPECT_EQ(Lines(scan), std::vector<std::string>{"e:\\" + testName_ + "\\foo.exe > Adware"});
  EXPECT_FALSE(IsWindowVisible(app_.MainWindow()));
  EXPECT_EQ(GetSetting("SCANCOUNT"), std::optional<std::string>("1"));
  Click(Child(scan, ids::ScanWindowExit));
  EXPECT_NE(app_.WaitForVisible(app_.MainWindow()), nullptr);
}

}  // namespace
}  // namespace e2e
