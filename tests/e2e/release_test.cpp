// The release as a user gets it: the setup program run silently, an upgrade
// over a used install, the uninstaller, and the portable folder from the
// zip. scripts/test builds the release and unpacks the zip beforehand.
#include <objidl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdlib>

#include "driver/program_test.h"
#include "product_version.h"

namespace e2e {
namespace {

const std::string kTitle = "Tallowick Parawarden";
const std::string kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + kTitle;
const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kVerbKeys[] = {"Software\\Classes\\Directory\\shell\\ParawardenScan",
                                 "Software\\Classes\\Drive\\shell\\ParawardenScan"};
const char* const kKeptNote = "Kept by Tallowick Parawarden.txt";
const char* const kProgramFiles[] = {"Parawarden.exe", "ref.dat", "index.html", "eula.txt", "Uninstall.exe"};

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return platform::Narrow(path);
}

// The definitions the release ships: those of the built application folder.
std::optional<std::string> ShippedRefDat() {
  const std::string exe = Env("PW_APP_EXE");
  return ReadFileText(exe.substr(0, exe.find_last_of('\\')) + "\\ref.dat");
}

std::string InstallFolder() { return ShellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\" + kTitle; }

std::vector<std::string> Shortcuts() {
  const std::string menu = ShellFolder(CSIDL_PROGRAMS) + "\\" + kTitle;
  return {menu + "\\" + kTitle + ".lnk", menu + "\\" + kTitle + " Help.lnk",
          ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\" + kTitle + ".lnk"};
}

// Runs a program with its arguments and returns its exit code (-1 when it
// did not start or did not end within a minute).
int RunToEnd(const std::string& exe, const std::string& arguments) {
  std::wstring commandLine = platform::Widen("\"" + exe + "\" " + arguments);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return -1;
  }
  CloseHandle(info.hThread);
  platform::UniqueHandle process(info.hProcess);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.get(), 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.get(), &code);
  return static_cast<int>(code);
}

std::optional<std::string> UserValue(const std::string& key, const std::string& name) {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof buffer;
  if (SHGetValueW(HKEY_CURRENT_USER, platform::Widen(key).c_str(), platform::Widen(name).c_str(), nullptr, buffer,
                  &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return platform::Narrow(buffer);
}

std::optional<DWORD> UserNumber(const std::string& key, const std::string& name) {
  DWORD value = 0;
  DWORD type = 0;
  DWORD size = sizeof value;
  if (SHGetValueW(HKEY_CURRENT_USER, platform::Widen(key).c_str(), platform::Widen(name).c_str(), &type, &value,
                  &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return std::nullopt;
  }
  return value;
}

bool UserKeyExists(const std::string& key) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, platform::Widen(key).c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return false;
  RegCloseKey(raw);
  return true;
}

// The program a shortcut starts, read through the shell's own link object.
std::string ShortcutTarget(const std::string& link) {
  CoInitialize(nullptr);
  std::string target;
  IShellLinkW* shellLink = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&shellLink)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      wchar_t path[MAX_PATH] = {};
      if (SUCCEEDED(file->Load(platform::Widen(link).c_str(), STGM_READ)) &&
          SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0))) {
        target = platform::Narrow(path);
      }
      file->Release();
    }
    shellLink->Release();
  }
  CoUninitialize();
  return target;
}

struct DialogSearch {
  std::string captionStart;
  std::string textStart;  // of a message box's text; empty for any dialog
  HWND found = nullptr;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<DialogSearch*>(param);
  const bool matches = IsWindowVisible(window) && ClassName(window) == "#32770" &&
                       WindowText(window).rfind(search.captionStart, 0) == 0 &&
                       WindowText(GetDlgItem(window, 0xFFFF)).rfind(search.textStart, 0) == 0;
  if (matches) search.found = window;
  return !matches;
}

// A visible dialog of any process by the start of its caption (setup's
// pages add to it) and, for a message box, of its text.
HWND WaitForDialog(const std::string& captionStart, const std::string& textStart) {
  DialogSearch search{captionStart, textStart};
  WaitUntil([&] {
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  }, 30000);
  return search.found;
}

class ReleaseTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    RemoveInstall();
    ASSERT_TRUE(PathExists(setup_)) << "scripts/test builds the release; setup program: " << setup_;
  }

  void TearDown() override {
    ProgramTest::TearDown();
    RemoveInstall();
  }

  static void RemoveInstall() {
    RemoveTree(InstallFolder());
    RemoveTree(ShellFolder(CSIDL_PROGRAMS) + "\\" + kTitle);
    DeleteFileW(platform::Widen(Shortcuts().back()).c_str());
    SHDeleteKeyW(HKEY_CURRENT_USER, platform::Widen(kUninstallKey).c_str());
    for (const char* key : kVerbKeys) SHDeleteKeyW(HKEY_CURRENT_USER, platform::Widen(key).c_str());
  }

  int Setup() const { return RunToEnd(setup_, "/S"); }

  // The uninstaller hands its work to a copy of itself and ends at once;
  // deleting itself is the last thing that copy does.
  bool Uninstall() const {
    const std::string uninstaller = InstallFolder() + "\\Uninstall.exe";
    return RunToEnd(uninstaller, "/S") == 0 && WaitUntil([&] { return !PathExists(uninstaller); }, 60000);
  }

  std::string InstalledFile(const std::string& name) const { return InstallFolder() + "\\" + name; }

  // Fills an install with what a user leaves in it and starts the program.
  void UseTheInstall(const std::string& refDat) {
    WriteFileBytes(InstalledFile("ref.dat"), refDat);
    CreateDirectoryW(platform::Widen(InstalledFile("Quarantine")).c_str(), nullptr);
    CreateDirectoryW(platform::Widen(InstalledFile("Reports")).c_str(), nullptr);
    WriteFileBytes(InstalledFile("Quarantine\\kept.exe"), "quarantined");
    WriteFileBytes(InstalledFile("Reports\\scan.txt"), "report");
    SetSetting("AUTOSHOW", "0");
    SetSetting("GUARD", "0");
    SetSetting("SCHEDULE", "2");
    SetUserString(kRunKey, kTitle, "\"" + InstalledFile("Parawarden.exe") + "\"");
    ASSERT_TRUE(app_.Start(InstallFolder()));
    ASSERT_NE(app_.WaitForSplash(), nullptr);
  }

  const std::string setup_ = Env("PW_SETUP_EXE");
};

TEST_F(ReleaseTest, SilentSetupInstallsFilesShortcutsAndUninstallEntryAndTheShortcutStartsTheProgram) {
  ASSERT_EQ(Setup(), 0);
  for (const char* name : kProgramFiles) EXPECT_TRUE(PathExists(InstalledFile(name))) << name;
  for (const std::string& link : Shortcuts()) EXPECT_TRUE(PathExists(link)) << link;

  const std::string exe = InstalledFile("Parawarden.exe");
  EXPECT_EQ(UserValue(kUninstallKey, "DisplayName"), kTitle);
  EXPECT_EQ(UserValue(kUninstallKey, "DisplayVersion"), std::string(PW_VERSION_TEXT));
  EXPECT_EQ(UserValue(kUninstallKey, "Publisher"), std::string("Orvane Software Solutions"));
  EXPECT_EQ(UserValue(kUninstallKey, "DisplayIcon"), exe + ",0");
  EXPECT_EQ(UserValue(kUninstallKey, "UninstallString"), "\"" + InstalledFile("Uninstall.exe") + "\"");
  EXPECT_EQ(UserNumber(kUninstallKey, "NoModify"), std::optional<DWORD>(1));
  EXPECT_EQ(UserNumber(kUninstallKey, "NoRepair"), std::optional<DWORD>(1));
  EXPECT_GT(UserNumber(kUninstallKey, "EstimatedSize").value_or(0), 0u);
  for (const char* key : kVerbKeys) {
    EXPECT_EQ(UserValue(key, ""), std::string("Scan with Parawarden"));
    EXPECT_EQ(UserValue(std::string(key) + "\\command", ""), "\"" + exe + "\" /scan \"%1\"");
  }
  EXPECT_EQ(ReadFileText(InstalledFile("ref.dat")), ShippedRefDat());

  const std::string target = ShortcutTarget(Shortcuts().front());
  EXPECT_EQ(lstrcmpiW(platform::Widen(target).c_str(), platform::Widen(exe).c_str()), 0) << target;
  ASSERT_TRUE(app_.StartExe(target));
  ASSERT_NE(app_.WaitForSplash(), nullptr);
  EXPECT_NE(VisibleMainWindow(), nullptr);
  EXPECT_TRUE(IsFolder(InstalledFile("Quarantine")));
}

struct UpgradeCase {
  const char* name;
  const char* installedRefDat;
  bool keepsRefDat;
  friend void PrintTo(const UpgradeCase& c, std::ostream* os) { *os << c.name; }
};

class UpgradeTest : public ReleaseTest, public ::testing::WithParamInterface<UpgradeCase> {};

TEST_P(UpgradeTest, EndsTheRunningProgramAndKeepsWhatTheUserHas) {
  const UpgradeCase& c = GetParam();
  ASSERT_EQ(Setup(), 0);
  UseTheInstall(c.installedRefDat);
  const std::optional<std::string> runValue = GetRunValue();

  ASSERT_EQ(Setup(), 0);
  EXPECT_TRUE(app_.WaitForExit());
  EXPECT_EQ(ReadFileText(InstalledFile("ref.dat")),
            c.keepsRefDat ? std::optional<std::string>(c.installedRefDat)
                          : ShippedRefDat());
  EXPECT_EQ(ReadFileText(InstalledFile("Quarantine\\kept.exe")), std::optional<std::string>("quarantined"));
  EXPECT_EQ(ReadFileText(InstalledFile("Reports\\scan.txt")), std::optional<std::string>("report"));
  EXPECT_EQ(GetSetting("AUTOSHOW"), std::optional<std::string>("0"));
  EXPECT_EQ(GetSetting("GUARD"), std::optional<std::string>("0"));
  EXPECT_EQ(GetSetting("SCHEDULE"), std::optional<std::string>("2"));
  EXPECT_EQ(GetRunValue(), runValue);
  EXPECT_TRUE(PathExists(InstalledFile("Parawarden.exe")));
}

INSTANTIATE_TEST_SUITE_P(
    Release, UpgradeTest,
    ::testing::Values(UpgradeCase{"NewerDownloadedDefinitionsStay", "Ver99.5 downloaded\r\nfoo.exe|Adware\r\n", true},
                      UpgradeCase{"OlderDefinitionsAreReplaced", "Ver0.05 old\r\nfoo.exe|Adware\r\n", false},
                      UpgradeCase{"UnreadableDefinitionsAreReplaced", "Version one\r\nfoo.exe|Adware\r\n", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReleaseTest, SilentUninstallRemovesTheProgramButKeepsQuarantineReportsAndSettings) {
  ASSERT_EQ(Setup(), 0);
  UseTheInstall("Ver99.5 downloaded\r\nfoo.exe|Adware\r\n");

  ASSERT_TRUE(Uninstall());
  EXPECT_TRUE(app_.WaitForExit());
  for (const char* name : kProgramFiles) EXPECT_FALSE(PathExists(InstalledFile(name))) << name;
  for (const std::string& link : Shortcuts()) EXPECT_FALSE(PathExists(link)) << link;
  EXPECT_FALSE(UserKeyExists(kUninstallKey));
  for (const char* key : kVerbKeys) EXPECT_FALSE(UserKeyExists(key)) << key;
  EXPECT_FALSE(GetRunValue().has_value());
  EXPECT_EQ(ReadFileText(InstalledFile("Quarantine\\kept.exe")), std::optional<std::string>("quarantined"));
  EXPECT_EQ(ReadFileText(InstalledFile("Reports\\scan.txt")), std::optional<std::string>("report"));
  EXPECT_EQ(GetSetting("AUTOSHOW"), std::optional<std::string>("0"));
  // What the uninstall kept is no reason to refuse the folder: its note
  // says it was an install.
  EXPECT_TRUE(PathExists(InstalledFile(kKeptNote)));
  EXPECT_EQ(Setup(), 0);
  EXPECT_FALSE(PathExists(InstalledFile(kKeptNote)));
}

TEST_F(ReleaseTest, SetupAndUninstallLeaveTheUsersOwnFilesAlone) {
  // An install where the user keeps files of their own in the quarantine
  // and among the reports, uninstalled by hand, discarding the quarantine
  // and the reports. A journal line that names a path is passed over.
  ASSERT_EQ(Setup(), 0);
  CreateDirectoryW(platform::Widen(InstalledFile("Quarantine")).c_str(), nullptr);
  CreateDirectoryW(platform::Widen(InstalledFile("Reports")).c_str(), nullptr);
  const std::string programsOwn[] = {"Quarantine\\kept.exe", "Quarantine.journal", "Reports\\2026-12-763045.12.log",
                                     "upd.txt"};
  for (const std::string& name : programsOwn) WriteFileBytes(InstalledFile(name), "made by the program");
  WriteFileBytes(InstalledFile("Quarantine.journal"),
                 "kept.exe\tC:\\x\\kept.exe\t7.12.2026 10:00:00\tAdware\r\n"
                 "..\\Reports\\thesis-report-final.doc\tC:\\x\\y.exe\t7.12.2026 10:00:00\tAdware\r\n");
  WriteFileBytes(InstalledFile("Reports\\2026-12-763045.12.log"), "NO Adware found...\r\n\r\nTest Run : 7.12.2026 at 21:10:45\r\n\r\n");
  const std::string usersOwn[] = {"Reports\\thesis-report-final.doc", "Reports\\2024-05-17.log",
                                  "Reports\\2024-5-17.log", "Quarantine\\keep-me.txt"};
  for (const std::string& name : usersOwn) WriteFileBytes(InstalledFile(name), "the user's");
  ASSERT_EQ(RunToEnd(InstalledFile("Uninstall.exe"), ""), 0);
  const std::string caption = kTitle + " Uninstall";
  HWND wizard = WaitForDialog(caption, "");
  ASSERT_NE(wizard, nullptr);
  Click(GetDlgItem(wizard, IDOK));
  HWND question = WaitForDialog(caption, "Keep the quarantined files");
  ASSERT_NE(question, nullptr);
  AnswerMessageBox(question, IDNO);
  EXPECT_TRUE(WaitUntil([&] { return !PathExists(InstalledFile("Uninstall.exe")); }, 60000));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(wizard, IDOK)) != FALSE; }));
  Click(GetDlgItem(wizard, IDOK));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(wizard); }));
  for (const std::string& name : usersOwn) {
    EXPECT_EQ(ReadFileText(InstalledFile(name)), std::optional<std::string>("the user's")) << name;
  }
  for (const std::string& name : programsOwn) EXPECT_FALSE(PathExists(InstalledFile(name))) << name;
  for (const char* name : kProgramFiles) EXPECT_FALSE(PathExists(InstalledFile(name))) << name;

  // A folder of the user's is no place for setup.
  TempFolder site("UsersSite");
  WriteFileBytes(site / "index.html", "my own page");
  EXPECT_NE(RunToEnd(setup_, "/S /D=" + site.path()), 0);
  EXPECT_TRUE(ReadFileText(site / "index.html") == std::optional<std::string>("my own page")) << "overwritten";
  EXPECT_FALSE(PathExists(site / "Parawarden.exe"));
  // Nor is one that holds only folders of the user's that share the names
  // of the program's.
  TempFolder own("UsersOwnQuarantine");
  CreateDirectoryW(platform::Widen(own / "Quarantine").c_str(), nullptr);
  CreateDirectoryW(platform::Widen(own / "Reports").c_str(), nullptr);
  WriteFileBytes(own / "Quarantine\\keep-me.txt", "the user's");
  EXPECT_NE(RunToEnd(setup_, "/S /D=" + own.path()), 0);
  EXPECT_FALSE(PathExists(own / "Uninstall.exe"));
}

TEST_F(ReleaseTest, PortableFolderFromTheZipRunsWhereItIsUnpacked) {
  const std::string folder = Env("PW_PORTABLE_DIR");
  for (const char* name : {"Parawarden.exe", "ref.dat", "index.html", "eula.txt", "README.txt"}) {
    EXPECT_TRUE(PathExists(folder + "\\" + name)) << name;
  }
  RemoveTree(folder + "\\Quarantine");
  ASSERT_TRUE(app_.Start(folder));
  ASSERT_NE(app_.WaitForSplash(), nullptr);
  EXPECT_NE(VisibleMainWindow(), nullptr);
  EXPECT_TRUE(IsFolder(folder + "\\Quarantine"));
}

}  // namespace
}  // namespace e2e
