// "/scan <folder>": a scan run of one folder, started fresh or handed to the
// copy that is already running, and the message for a folder that is not
// there.
#include <algorithm>

#include "core/program_identity.h"
#include "driver/scan_fixture.h"
#include "platform/disk_lister.h"
#include "platform/handles.h"
#include "windows/application_window.h"

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

// Spyware hides in folders whose names end in a dot, which the system's
// own path handling would trim to another folder's name.
TEST_F(ScanCommandTest, AFolderWhoseNameEndsInADotIsScannedAsItself) {
  MakeFile("Picked\\bar.dll");
  const std::string folder = tree_ + "\\Picked.";
  ASSERT_TRUE(CreateDirectoryW(platform::ExtendedPath(folder).c_str(), nullptr));
  platform::UniqueHandle file(CreateFileW(platform::ExtendedPath(folder + "\\foo.exe").c_str(), GENERIC_WRITE, 0,
                                          nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(file.get(), INVALID_HANDLE_VALUE);
  file.reset();
  App::Install(appFolder(), App::DefaultRefDat());
  ASSERT_TRUE(app_.Start(appFolder(), ScanArguments(folder)));
  HWND scan = app_.WaitForTopLevel("TallowickParawardenScan", std::nullopt, 15000);
  ASSERT_NE(scan, nullptr);
  ASSERT_TRUE(WaitForComplete(scan));
  EXPECT_EQ(Lines(scan), std::vector<std::string>{folder + "\\foo.exe > Adware"});
}

// A question the running copy asks keeps the scan waiting until it is
// answered: the answer could otherwise end the program with the scan's
// results unseen.
TEST_F(ScanCommandTest, ARunningCopyTakesTheFolderOverOnceItsQuestionIsAnswered) {
  MakeFile("Picked\\foo.exe");
  ASSERT_NE(StartProgram(), nullptr);
  constexpr int kTrayExit = 3;
  ASSERT_TRUE(app_.ChooseTrayMenuItem(kTrayExit));
  HWND box = app_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(second_.Start(appFolder(), ScanArguments(tree_ + "\\Picked")));
  EXPECT_TRUE(second_.WaitForExit());
  EXPECT_EQ(app_.WaitForTopLevel("TallowickParawardenScan", std::nullopt, 1000), nullptr);
  AnswerMessageBox(box, IDCANCEL);
  HWND scan = app_.WaitForTopLevel("TallowickParawardenScan", std::nullopt);
  ASSERT_NE(scan, nullptr);
  ASSERT_TRUE(WaitForComplete(scan));
  EXPECT_EQ(Lines(scan), std::vector<std::string>{tree_ + "\\Picked\\foo.exe > Adware"});
}

// Explorer hands three selected folders over at once, one process each. The
// running copy is held still until all three wait on it, so that they
// arrive together.
TEST_F(ScanCommandTest, FoldersHandedOverTogetherAreAllScannedInOneWindow) {
  const char* const names[] = {"One", "Two", "Three"};
  std::vector<std::string> expected;
  for (const char* name : names) {
    MakeFile(std::string(name) + "\\foo.exe");
    expected.push_back(tree_ + "\\" + name + "\\foo.exe > Adware");
  }
  HWND splash = StartProgram();
  ASSERT_NE(splash, nullptr);
  platform::UniqueHandle thread(OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(splash, nullptr)));
  ASSERT_TRUE(thread);
  SuspendThread(thread.get());
  App senders[3];
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(senders[i].Start(appFolder(), ScanArguments(tree_ + "\\" + names[i])));
  // Each sender renames its own application window just before it sends.
  const bool allSending = WaitUntil([] {
    int sending = 0;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"ThunderRT6Main", L"unwanted instance")) != nullptr;) ++sending;
    return sending == 3;
  }, 30000);
  Sleep(500);
  ResumeThread(thread.get());
  ASSERT_TRUE(allSending);
  for (App& sender : senders) EXPECT_TRUE(sender.WaitForExit());

  HWND scan = app_.WaitForTopLevel("TallowickParawardenScan", std::nullopt);
  ASSERT_NE(scan, nullptr);
  ASSERT_TRUE(WaitForComplete(scan));
  std::vector<std::string> lines = Lines(scan);
  std::sort(lines.begin(), lines.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(lines, expected);
}

// Folders handed over while a scan's results are still open wait until the
// user closes the scan window, and are then scanned in one run.
TEST_F(ScanCommandTest, FoldersHandedOverLaterWaitForTheOpenResults) {
  for (const char* name : {"One", "Two", "Three"}) MakeFile(std::string(name) + "\\foo.exe");
  ASSERT_NE(StartProgram(), nullptr);
  ASSERT_TRUE(second_.Start(appFolder(), ScanArguments(tree_ + "\\One")));
  EXPECT_TRUE(second_.WaitForExit());
  HWND scan = app_.WaitForTopLevel("TallowickParawardenScan", std::nullopt);
  ASSERT_NE(scan, nullptr);
  ASSERT_TRUE(WaitForComplete(scan));
  App senders[2];
  ASSERT_TRUE(senders[0].Start(appFolder(), ScanArguments(tree_ + "\\Two")));
  ASSERT_TRUE(senders[1].Start(appFolder(), ScanArguments(tree_ + "\\Three")));
  for (App& sender : senders) EXPECT_TRUE(sender.WaitForExit());
  Sleep(1000);
  EXPECT_EQ(WindowText(scan), "Scan Complete");
  EXPECT_EQ(Lines(scan), std::vector<std::string>{tree_ + "\\One\\foo.exe > Adware"});

  Click(Child(scan, ids::ScanWindowExit));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(scan); }));
  scan = app_.WaitForTopLevel("TallowickParawardenScan", std::nullopt);
  ASSERT_NE(scan, nullptr);
  ASSERT_TRUE(WaitForComplete(scan));
  std::vector<std::string> lines = Lines(scan);
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{tree_ + "\\Three\\foo.exe > Adware", tree_ + "\\Two\\foo.exe > Adware"}));
}

// Any program may hand a folder over: one named relative to the running
// copy's own working folder is refused.
TEST_F(ScanCommandTest, ARelativeFolderHandedOverIsRefused) {
  ASSERT_NE(StartProgram(), nullptr);
  HWND running =
      FindWindowW(platform::Widen(core::kApplicationWindowClass).c_str(), platform::Widen(core::kTitle).c_str());
  ASSERT_NE(running, nullptr);
  for (const std::string& folder : std::vector<std::string>{".", "C:", tree_}) {
    COPYDATASTRUCT data = {};
    data.dwData = windows::ApplicationWindow::kScanRequestTag;
    data.cbData = static_cast<DWORD>(folder.size());
    data.lpData = const_cast<char*>(folder.data());
    EXPECT_EQ(SendMessageW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), folder == tree_) << folder;
  }
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
