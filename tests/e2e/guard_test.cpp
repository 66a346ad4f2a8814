// The guard: a listed file arriving on the scan drive while the program
// runs shows in the guard window at once, unlisted, excluded and vanished
// ones never; Quarantine there removes it with a journal line, and the
// file written again is reported again; the balloon and the tray menu open
// the window; the setting turns the guard off and on at once. Under Wine a
// watch sees files only in folders made after it started or opened since,
// which the guard's check of the drive at start does.
#include "driver/program_test.h"
#include "platform/handles.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>

namespace e2e {
namespace {

constexpr const char* kRefDat =
    "Ver1.0\r\nguardhit.exe|Guard test entry\r\nguardkept.exe|Kept entry\r\nguardgone.exe|Gone entry\r\n";
constexpr const char* kGuardClass = "TallowickParawardenGuard";
constexpr const char* kExclusionsKey = "Software\\VB and VBA Program Settings\\Tallowick Parawarden\\EXCLUSIONS";

// A text value of the exclusions key, if there is one.
std::optional<std::string> StoredExclusion(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, platform::Widen(kExclusionsKey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const platform::UniqueRegKey owned(key);
  wchar_t data[512] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  if (RegQueryValueExW(key, platform::Widen(path).c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return platform::Narrow(data);
}

class GuardTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    folder_ = "E:\\" + testName_;
    RemoveFolders();
  }
  void TearDown() override {
    ProgramTest::TearDown();
    RemoveFolders();
  }
  void RemoveFolders() {
    const std::string root = "E:\\" + testName_;
    for (const std::string& folder : {root, root + "-again"}) RemoveTree(folder);
  }
  // Starts the program and returns once start-up has started the guard.
  bool StartGuarded() { return StartProgram(kRefDat) != nullptr && app_.MainWindow() != nullptr; }
  HWND GuardWindow() { return app_.FindTopLevel(kGuardClass, std::nullopt); }
  // The title (0) or text (1) of the last balloon the shell took from the
  // program, as its tray window reports it.
  std::string LastBalloon(WPARAM part) {
    const auto atom = static_cast<ATOM>(
        SendMessageW(app_.TrayWindow(), RegisterWindowMessageW(kLastBalloonMessage), part, 0));
    if (atom == 0) return std::string();
    wchar_t text[256] = {};
    const UINT length = GlobalGetAtomNameW(atom, text, 256);
    GlobalDeleteAtom(atom);
    return platform::Narrow(std::wstring(text, length));
  }
  // The guard window once its list holds `count` lines.
  HWND WaitForFindings(LRESULT count, int timeoutMs = 60000) {
    HWND guard = nullptr;
    WaitUntil([&] {
      guard = GuardWindow();
      return guard != nullptr && SendMessageW(Child(guard, ids::GuardWindowFindings), LB_GETCOUNT, 0, 0) == count;
    }, timeoutMs);
    return guard;
  }
  std::string MakeFile(const std::string& name) {
    CreateDirectoryW(platform::Widen(folder_).c_str(), nullptr);
    WriteFileBytes(folder_ + "\\" + name, "not really a program");
    return folder_ + "\\" + name;
  }

  // At the drive's root, where MakeFile puts its files; a second one, with
  // "-again" added, is removed at the end too.
  std::string folder_;
};

TEST_F(GuardTest, AListedFileShowsAtOnceUnlistedExcludedAndVanishedOnesNeverAndQuarantineRemovesIt) {
  SetUserString(kExclusionsKey, folder_ + "\\guardkept.exe", "Kept entry");
  ASSERT_TRUE(StartGuarded());
  // Created and deleted at once: never shown.
  ASSERT_TRUE(DeleteFileW(platform::Widen(MakeFile("guardgone.exe")).c_str()));
  MakeFile("plain.exe");
  MakeFile("guardkept.exe");
  const std::string hit = MakeFile("guardhit.exe");
  // They arrive in this order, so the listed file's line comes after the
  // others were passed over.
  HWND guard = WaitForFindings(1);
  ASSERT_NE(guard, nullptr);
  HWND list = Child(guard, ids::GuardWindowFindings);
  EXPECT_EQ(ListItems(list), std::vector<std::string>{hit + " > Guard test entry"});
  EXPECT_EQ(LastBalloon(0), "Spyware / Adware found");
  EXPECT_EQ(LastBalloon(1), hit + "\r\nGuard test entry");
  // A line cut off at the list's edge can be scrolled to.
  EXPECT_GT(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), 0);

  SendMessageW(list, LB_SETSEL, TRUE, 0);
  Click(Child(guard, ids::GuardWindowQuarantine));
  ASSERT_TRUE(WaitUntil([&] { return !PathExists(hit); }));
  EXPECT_TRUE(WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 0; }));
  EXPECT_TRUE(PathExists(AppFile("Quarantine\\guardhit.exe")));
  const std::optional<std::string> journal = ReadFileText(AppFile("Quarantine.journal"));
  ASSERT_TRUE(journal.has_value());
  EXPECT_NE(journal->find("guardhit.exe\t" + hit + "\t"), std::string::npos) << *journal;

  // Written again at the same place: a new file, reported again.
  MakeFile("guardhit.exe");
  ASSERT_NE(WaitForFindings(1), nullptr);
  EXPECT_EQ(ListItems(list), std::vector<std::string>{hit + " > Guard test entry"});
}

// A burst of files into a folder that was there before the program started,
// and a listed file in folders made all at once: under Wine a watch of the
// drive covers neither by itself.
TEST_F(GuardTest, ABurstIntoAnOldFolderAndNewNestedFoldersAreHeard) {
  CreateDirectoryW(platform::Widen(folder_).c_str(), nullptr);
  ASSERT_TRUE(StartGuarded());
  for (int i = 0; i < 3000; ++i) MakeFile("burst" + std::to_string(i) + ".dat");
  const std::string hit = MakeFile("guardhit.exe");
  const std::string nested = folder_ + "-again\\a\\b\\c";
  ASSERT_EQ(SHCreateDirectoryExW(nullptr, platform::Widen(nested).c_str(), nullptr), ERROR_SUCCESS);
  WriteFileBytes(nested + "\\guardkept.exe", "not really a program");
  HWND guard = WaitForFindings(2);
  ASSERT_NE(guard, nullptr);
  std::vector<std::string> lines = ListItems(Child(guard, ids::GuardWindowFindings));
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{nested + "\\guardkept.exe > Kept entry", hit + " > Guard test entry"}));
}

// Of two marked lines only the one last clicked, "this file", is excluded.
TEST_F(GuardTest, AlwaysIgnoreThisFileExcludesTheMarkedFileLastClickedAndTakesItsLineAway) {
  ASSERT_TRUE(StartGuarded());
  const std::string hit = MakeFile("guardhit.exe");
  ASSERT_NE(WaitForFindings(1), nullptr);
  const std::string other = MakeFile("guardkept.exe");
  HWND guard = WaitForFindings(2);
  ASSERT_NE(guard, nullptr);
  HWND list = Child(guard, ids::GuardWindowFindings);
  SendMessageW(list, LB_SETSEL, TRUE, -1);
  SendMessageW(list, LB_SETCARETINDEX, 0, FALSE);
  Click(Child(guard, ids::GuardWindowIgnore));
  ASSERT_TRUE(WaitUntil([&] { return StoredExclusion(hit).has_value(); }));
  EXPECT_EQ(StoredExclusion(hit), std::optional<std::string>("Guard test entry"));
  EXPECT_EQ(ListItems(list), std::vector<std::string>{other + " > Kept entry"});
  EXPECT_FALSE(StoredExclusion(other).has_value());
  EXPECT_TRUE(PathExists(hit));
}

TEST_F(GuardTest, TheBalloonAndTheTrayMenuOpenTheGuardWindow) {
  ASSERT_TRUE(StartGuarded());
  app_.TrayEvent(NIN_BALLOONUSERCLICK);
  HWND guard = app_.WaitForTopLevel(kGuardClass, std::nullopt);
  ASSERT_NE(guard, nullptr);
  ASSERT_NE(app_.WaitForVisible(guard), nullptr);
  EXPECT_EQ(WindowText(guard), "Guard");
  // The keyboard reaches its controls: Escape closes it as Close does.
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == guard; }));
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(guard); }));
  ASSERT_TRUE(app_.ChooseTrayMenuItem(1));
  EXPECT_NE(app_.WaitForVisible(guard), nullptr);
}

TEST_F(GuardTest, TheSettingTurnsTheGuardOffAndOnAtOnce) {
  // A folder from before: switched on again, the guard hears it too.
  CreateDirectoryW(platform::Widen(folder_).c_str(), nullptr);
  // Once active: its activation shows the stored settings again.
  HWND main = StartToActiveMainWindow(kRefDat);
  ASSERT_NE(main, nullptr);
  SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, tabs::Settings, 0);
  HWND box = Child(main, ids::SettingsGuard);
  ASSERT_TRUE(IsChecked(box));
  Click(box);
  ASSERT_TRUE(WaitUntil([&] { return !IsChecked(box); }));
  Click(Child(main, ids::SettingsSaveButton));
  ASSERT_TRUE(WaitUntil([&] { return GetSetting("GUARD") == std::optional<std::string>("0"); }));
  // The watch follows later in the same press, before the window answers.
  const auto pressDone = [&] {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) != 0;
  };
  ASSERT_TRUE(pressDone());

  const std::string whileOff = MakeFile("guardhit.exe");
  Sleep(2000);
  EXPECT_EQ(GuardWindow(), nullptr);
  ASSERT_TRUE(DeleteFileW(platform::Widen(whileOff).c_str()));

  Click(box);
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(box); }));
  Click(Child(main, ids::SettingsSaveButton));
  ASSERT_TRUE(WaitUntil([&] { return GetSetting("GUARD") == std::optional<std::string>("1"); }));
  ASSERT_TRUE(pressDone());
  const std::string hit = MakeFile("guardhit.exe");
  HWND guard = WaitForFindings(1);
  ASSERT_NE(guard, nullptr);
  EXPECT_EQ(ListItems(Child(guard, ids::GuardWindowFindings)), std::vector<std::string>{hit + " > Guard test entry"});
}

}  // namespace
}  // namespace e2e
