// What the user chose to keep stays kept: excluded files are never listed
// again, programs whose file is left unmarked keep running, and the log-on
// traces of a quarantined file go with it and come back with it. What the
// administrator set holds, and the user sees it as theirs to keep.
#include <shlobj.h>

#include <algorithm>

#include "core/quarantine_journal.h"
#include "driver/scan_fixture.h"
#include "platform/handles.h"

namespace e2e {
namespace {

constexpr const char* kExclusionsKey = "Software\\VB and VBA Program Settings\\Tallowick Parawarden\\EXCLUSIONS";
constexpr const wchar_t* kUserRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kTestValue = L"PW Test Trace";
constexpr const wchar_t* kOtherValue = L"PW Test Other";

std::optional<std::wstring> RunValue(HKEY root, const wchar_t* name) {
  wchar_t data[1024] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, kUserRun, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
  const LONG status = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return std::wstring(data);
}

void SetRunValue(HKEY root, const wchar_t* name, const std::string& data) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, kUserRun, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), ERROR_SUCCESS);
  const std::wstring text = platform::Widen(data);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

void DeleteRunValue(HKEY root, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, kUserRun, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueW(key, name);
  RegCloseKey(key);
}

std::string StartupShortcutPath(const char* name = "PW Test Trace") {
  wchar_t folder[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder);
  return platform::Narrow(folder) + "\\" + name + ".lnk";
}
// A second shortcut, whose place another file takes while it is away.
const char* const kBlockedShortcut = "PW Test Blocked";

bool MakeShortcut(const std::string& link, const std::string& target) {
  CoInitialize(nullptr);
  bool made = false;
  IShellLinkW* shellLink = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&shellLink)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->SetPath(platform::Widen(target).c_str())) &&
        SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      made = SUCCEEDED(file->Save(platform::Widen(link).c_str(), TRUE));
      file->Release();
    }
    shellLink->Release();
  }
  CoUninitialize();
  return made;
}

class ExclusionsTest : public ScanFixture {
 protected:
  void TearDown() override {
    for (App* helper : helpers_) helper->Kill();
    second_.Kill();
    ScanFixture::TearDown();
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
      DeleteRunValue(root, kTestValue);
      DeleteRunValue(root, kOtherValue);
    }
    DeleteFileW(platform::Widen(StartupShortcutPath()).c_str());
    DeleteFileW(platform::Widen(StartupShortcutPath(kBlockedShortcut)).c_str());
  }

  // Starts the program on a scan of the test's tree and waits for its end.
  HWND ScanTree() {
    if (!app_.Start(appFolder(), "/scan \"" + tree_ + "\"")) return nullptr;
    HWND scan = app_.WaitForTopLevel("TallowickParawardenScan", std::nullopt, 15000);
    return scan != nullptr && WaitForComplete(scan) ? scan : nullptr;
  }

  // Opens a list's context menu, with a right click on its first line or as
  // the Menu key and Shift+F10 do, and chooses the item at `index` with the
  // keyboard.
  bool ChooseMenuItem(HWND list, int index, bool fromKeyboard = false) {
    if (fromKeyboard) {
      PostMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1);
    } else {
      PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 3));
      PostMessageW(list, WM_RBUTTONUP, 0, MAKELPARAM(3, 3));
    }
    HWND menu = app_.WaitForTopLevel("#32768", std::nullopt, 5000);
    if (menu == nullptr || !app_.WaitForVisible(menu, 5000)) return false;
    for (int i = 0; i <= index; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return WaitUntil([&] { return !IsWindowVisible(menu); }, 5000);
  }

  void StartHelper(App& helper, const std::string& path) {
    const char* sleeper = std::getenv("PW_SLEEPER_EXE");
    ASSERT_NE(sleeper, nullptr);
    MakeFile(path.substr(tree_.size() + 1));
    ASSERT_TRUE(CopyFileW(platform::Widen(sleeper).c_str(), platform::Widen(path).c_str(), FALSE));
    ASSERT_TRUE(helper.StartExe(path));
    helpers_.push_back(&helper);
  }

  App second_;
  std::vector<App*> helpers_;
};

TEST_F(ExclusionsTest, AnIgnoredFileStaysUnlistedUntilItsExclusionIsRemoved) {
  for (const char* name : {"Kept\\foo.exe", "Kept\\bar.exe", "Kept\\baz.exe"}) MakeFile(name);
  App::Install(appFolder(), "Ver1.0\r\nfoo.exe|Adware\r\nbar.exe|Toolbar\r\nbaz.exe|Dialer\r\n");
  HWND scan = ScanTree();
  ASSERT_NE(scan, nullptr);
  const std::string foo = tree_ + "\\Kept\\foo.exe";
  const std::string bar = tree_ + "\\Kept\\bar.exe";
  const std::string baz = tree_ + "\\Kept\\baz.exe";
  ASSERT_EQ(Lines(scan), (std::vector<std::string>{bar + " > Toolbar", baz + " > Dialer", foo + " > Adware"}));
  // The line under the mouse, not the marked one; then the marked ones.
  HWND results = Child(scan, ids::ScanWindowDetections);
  SendMessageW(results, LB_SETSEL, TRUE, 1);
  ASSERT_TRUE(ChooseMenuItem(results, 0));
  EXPECT_TRUE(WaitUntil([&] { return Lines(scan).size() == 2; }));
  ASSERT_TRUE(ChooseMenuItem(results, 1, true));
  EXPECT_TRUE(WaitUntil([&] { return Lines(scan) == std::vector<std::string>{foo + " > Adware"}; }));

  // A restart keeps it; a value an administrator wrote by hand counts too.
  app_.Kill();
  SetUserString(kExclusionsKey, foo, "written by hand");
  scan = ScanTree();
  ASSERT_NE(scan, nullptr);
  EXPECT_EQ(Lines(scan), std::vector<std::string>{});
  EXPECT_EQ(Label(scan, ids::ScanWindowScannedCount), "3 Objects scanned");

  Click(Child(scan, ids::ScanWindowExit));
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, tabs::Settings, 0);
  Click(Child(main, ids::SettingsExclusionsButton));
  HWND window = app_.WaitForTopLevel("TallowickParawardenExclusions", "Exclusions");
  ASSERT_NE(window, nullptr);
  HWND list = Child(window, ids::ExclusionsList);
  const std::vector<std::string> shown = ListItems(list);
  ASSERT_EQ(shown.size(), 3u);
  const auto fooLine = std::find(shown.begin(), shown.end(), foo + " > written by hand");
  ASSERT_NE(fooLine, shown.end());
  SendMessageW(list, LB_SETSEL, TRUE, fooLine - shown.begin());
  Click(Child(window, ids::ExclusionsRemove));
  EXPECT_TRUE(WaitUntil([&] { return ListItems(list).size() == 2; }));
  // Added elsewhere while the window stood open: shown when it is active again.
  SetUserString(kExclusionsKey, foo, "from the guard");
  ASSERT_TRUE(ActivateAfterAnotherApplication(window));
  ASSERT_TRUE(WaitUntil([&] { return ListItems(list).size() == 3; }));
  const std::vector<std::string> refreshed = ListItems(list);
  const auto again = std::find(refreshed.begin(), refreshed.end(), foo + " > from the guard");
  ASSERT_NE(again, refreshed.end());
  SendMessageW(list, LB_SETSEL, TRUE, again - refreshed.begin());
  Click(Child(window, ids::ExclusionsRemove));
  EXPECT_TRUE(WaitUntil([&] { return ListItems(list).size() == 2; }));

  ASSERT_TRUE(second_.Start(appFolder(), "/scan \"" + tree_ + "\""));
  EXPECT_TRUE(second_.WaitForExit());
  scan = app_.WaitForTopLevel("TallowickParawardenScan", std::nullopt);
  ASSERT_NE(scan, nullptr);
  ASSERT_TRUE(WaitForComplete(scan));
  EXPECT_EQ(Lines(scan), std::vector<std::string>{foo + " > Adware"});

  // Excluded while listed, by hand: Quarantine leaves it where it is.
  SetUserString(kExclusionsKey, foo, "again by hand");
  SendMessageW(Child(scan, ids::ScanWindowDetections), LB_SETSEL, TRUE, 0);
  Click(Child(scan, ids::ScanWindowQuarantine));
  EXPECT_EQ(app_.WaitForMessageBox(1500), nullptr);
  EXPECT_TRUE(PathExists(foo));
  EXPECT_FALSE(PathExists(AppFile("Quarantine\\foo.exe")));
  EXPECT_EQ(Lines(scan), std::vector<std::string>{foo + " > Adware"});
}

TEST_F(ExclusionsTest, UnsavedSettingsOutlastAVisitToTheExclusionsWindow) {
  HWND main = StartToActiveMainWindow();
  ASSERT_NE(main, nullptr);
  SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, tabs::Settings, 0);
  HWND box = Child(main, ids::SettingsScanOnStartup);
  Click(box);
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(box); }));
  Click(Child(main, ids::SettingsExclusionsButton));
  HWND window = app_.WaitForTopLevel("TallowickParawardenExclusions", "Exclusions");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(window) && GetForegroundWindow() == main; }));
  EXPECT_TRUE(IsChecked(box));
}

TEST_F(ExclusionsTest, QuarantineEndsTheMarkedProgramAndLeavesTheUnmarkedOneRunning) {
  App marked, unmarked;
  StartHelper(marked, tree_ + "\\One\\ad.exe");
  StartHelper(unmarked, tree_ + "\\Two\\ad.exe");
  App::Install(appFolder(), "Ver1.0\r\nad.exe|Adware\r\n");
  HWND scan = ScanTree();
  ASSERT_NE(scan, nullptr);
  ASSERT_EQ(Lines(scan).size(), 2u);
  SendMessageW(Child(scan, ids::ScanWindowDetections), LB_SETSEL, TRUE, 0);
  Click(Child(scan, ids::ScanWindowQuarantine));
  HWND box = app_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), "same");
  AnswerMessageBox(box, IDOK);
  EXPECT_TRUE(marked.WaitForExit());
  EXPECT_EQ(app_.WaitForMessageBox(1000), nullptr) << "one notice only";
  EXPECT_FALSE(unmarked.HasExited());
}

TEST_F(ExclusionsTest, LogOnTracesGoWithTheQuarantinedFileAndComeBackOnRestore) {
  const std::string ad = MakeFile("Ad\\ad.exe");
  SetRunValue(HKEY_CURRENT_USER, kTestValue, "\"" + ad + "\" /tray");
  SetRunValue(HKEY_LOCAL_MACHINE, kTestValue, ad);
  SetRunValue(HKEY_CURRENT_USER, kOtherValue, "\"" + tree_ + "\\Ad\\other.exe\"");
  ASSERT_TRUE(MakeShortcut(StartupShortcutPath(), ad));
  ASSERT_TRUE(MakeShortcut(StartupShortcutPath(kBlockedShortcut), ad));
  const std::optional<std::string> shortcut = ReadFileText(StartupShortcutPath());
  ASSERT_TRUE(shortcut.has_value());

  App::Install(appFolder(), "Ver1.0\r\nad.exe|Adware\r\n");
  HWND scan = ScanTree();
  ASSERT_NE(scan, nullptr);
  ASSERT_EQ(Lines(scan).size(), 1u);
  SendMessageW(Child(scan, ids::ScanWindowDetections), LB_SETSEL, TRUE, 0);
  Click(Child(scan, ids::ScanWindowQuarantine));
  ASSERT_TRUE(WaitUntil([&] { return Lines(scan).empty(); }));
  EXPECT_FALSE(RunValue(HKEY_CURRENT_USER, kTestValue));
  EXPECT_FALSE(RunValue(HKEY_LOCAL_MACHINE, kTestValue));
  EXPECT_FALSE(PathExists(StartupShortcutPath()));
  EXPECT_FALSE(PathExists(StartupShortcutPath(kBlockedShortcut)));
  EXPECT_TRUE(RunValue(HKEY_CURRENT_USER, kOtherValue));
  WriteFileBytes(StartupShortcutPath(kBlockedShortcut), "another file");

  Click(Child(scan, ids::ScanWindowExit));
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, tabs::Quarantine, 0);
  HWND list = Child(main, ids::QuarantineList);
  ASSERT_TRUE(WaitUntil([&] { return ListItems(list) == std::vector<std::string>{"ad.exe"}; }));
  SendMessageW(list, LB_SETSEL, TRUE, 0);
  ASSERT_TRUE(ChooseMenuItem(list, 0));
  // The list empties once the whole restore is done, traces included.
  ASSERT_TRUE(WaitUntil([&] { return ListItems(list).empty(); }));
  HWND box = app_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), "1 item could not be put back:\r\n" + StartupShortcutPath(kBlockedShortcut) +
                                     "\r\n\r\nThe file is restored, but this entry no longer starts it at "
                                     "log-on; make it again if it should.");
  AnswerMessageBox(box, IDOK);
  EXPECT_EQ(ReadFileText(StartupShortcutPath(kBlockedShortcut)), "another file");
  EXPECT_TRUE(PathExists(ad));
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER, kTestValue), platform::Widen("\"" + ad + "\" /tray"));
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, kTestValue), platform::Widen(ad));
  EXPECT_EQ(ReadFileText(StartupShortcutPath()), shortcut);
}

TEST_F(ExclusionsTest, WhatTheAdministratorSetHoldsAndIsShownAsSuch) {
  const std::string kept = MakeFile("Kept\\Sub\\Deep\\ad.exe");
  const std::string other = MakeFile("Other\\ad.exe");
  SetPolicyString("EXCLUSIONS", tree_ + "\\KEPT", "Set for every user");
  SetPolicyString("SETTINGS", "GUARD", "0");
  SetSetting("GUARD", "1");
  SetUserString(kExclusionsKey, "Other\\ad.exe", "relative");
  App::Install(appFolder(), "Ver1.0\r\nad.exe|Adware\r\nguardhit.exe|Guard test entry\r\n");
  HWND scan = ScanTree();
  ASSERT_NE(scan, nullptr);
  EXPECT_EQ(Lines(scan), std::vector<std::string>{other + " > Adware"});
  // The guard stays off whatever the user stored.
  MakeFile("Fresh\\guardhit.exe");
  Sleep(2000);
  EXPECT_EQ(app_.FindTopLevel("TallowickParawardenGuard", std::nullopt), nullptr);

  Click(Child(scan, ids::ScanWindowExit));
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, tabs::Settings, 0);
  HWND guardBox = Child(main, ids::SettingsGuard);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(guardBox); }));
  EXPECT_FALSE(IsChecked(guardBox));
  EXPECT_TRUE(IsWindowEnabled(Child(main, ids::SettingsScheduleFrequency)));
  EXPECT_EQ(WindowText(Child(main, ids::SettingsPolicyNote)),
            "Set by your administrator, and not to be changed here: the guard.");

  Click(Child(main, ids::SettingsExclusionsButton));
  HWND window = app_.WaitForTopLevel("TallowickParawardenExclusions", "Exclusions");
  ASSERT_NE(window, nullptr);
  HWND list = Child(window, ids::ExclusionsList);
  HWND policyList = Child(window, ids::ExclusionsPolicyList);
  EXPECT_EQ(ListItems(list), std::vector<std::string>{"Other\\ad.exe > relative   (not in effect: not a full path: it "
                                                      "needs a drive letter or a network share)"});
  EXPECT_EQ(ListItems(policyList), std::vector<std::string>{tree_ + "\\KEPT > Set for every user"});
  SendMessageW(list, LB_SETSEL, TRUE, -1);
  SendMessageW(policyList, LB_SETSEL, TRUE, -1);
  Click(Child(window, ids::ExclusionsRemove));
  EXPECT_TRUE(WaitUntil([&] { return ListItems(list).empty(); }));
  EXPECT_FALSE(IsWindowEnabled(Child(window, ids::ExclusionsRemove)));
  EXPECT_EQ(ListItems(policyList).size(), 1u);
}

TEST_F(ExclusionsTest, AddFileStoresTheFileTheOpenDialogChose) {
  const std::string file = MakeFile("Chosen\\ad.exe");
  HWND main = StartToActiveMainWindow();
  ASSERT_NE(main, nullptr);
  SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, tabs::Settings, 0);
  Click(Child(main, ids::SettingsExclusionsButton));
  HWND window = app_.WaitForTopLevel("TallowickParawardenExclusions", "Exclusions");
  ASSERT_NE(window, nullptr);
  PostMessageW(Child(window, ids::ExclusionsAddFile), BM_CLICK, 0, 0);
  HWND dialog = app_.WaitForTopLevel("#32770", "Add File");
  ASSERT_NE(dialog, nullptr);
  // The file name box: cmb13 in the Explorer-style dialog, edt1 in the older one.
  HWND name = Child(dialog, 0x47c);
  if (name == nullptr) name = Child(dialog, 0x480);
  ASSERT_NE(name, nullptr);
  const std::wstring text = platform::Widen(file);
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  HWND list = Child(window, ids::ExclusionsList);
  EXPECT_TRUE(WaitUntil([&] { return ListItems(list) == std::vector<std::string>{file + " > Added by hand"}; }));
  EXPECT_GT(SendMessageW(list, LB_GETSEL, 0, 0), 0) << "the new line is marked";
}

}  // namespace
}  // namespace e2e
