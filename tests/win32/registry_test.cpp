// The registry side of the program: the settings store, which must stay
// readable by and from earlier releases, and the per-user Run value.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/run_key.h"
#include "platform/system.h"
#include "platform/text.h"
#include "features/exclusions.h"
#include "features/settings.h"

namespace {

using platform::Narrow;
using platform::Widen;

constexpr const wchar_t* kStoreRoot = L"Software\\VB and VBA Program Settings";
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool KeyExists(const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

struct RawValue {
  LONG status = ERROR_FILE_NOT_FOUND;
  DWORD type = REG_NONE;
  std::wstring data;  // the stored bytes as they are, terminators included
};

RawValue ReadRaw(const std::wstring& path, const std::wstring& name) {
  RawValue value;
  HKEY key = nullptr;
  value.status = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key);
  if (value.status != ERROR_SUCCESS) return value;
  DWORD size = 0;
  value.status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size);
  if (value.status == ERROR_SUCCESS) {
    value.data.assign(size / sizeof(wchar_t), L'\0');
    value.status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type,
                                    reinterpret_cast<BYTE*>(&value.data[0]), &size);
  }
  RegCloseKey(key);
  return value;
}

void WriteRaw(const std::wstring& path, const std::wstring& name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  RegCloseKey(key);
}

// A settings application of its own per test, so nothing the program or a
// person stored is read or changed; its keys go again afterwards.
class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = "Parawarden Test " + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    rootExisted_ = KeyExists(kStoreRoot);
    ASSERT_FALSE(KeyExists(AppKey()));
  }
  void TearDown() override {
    for (const char* section : {"SETTINGS", "Other"}) RegDeleteKeyW(HKEY_CURRENT_USER, SectionKey(section).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, AppKey().c_str());
    EXPECT_FALSE(KeyExists(AppKey())) << "settings keys left behind";
    if (!rootExisted_) RegDeleteKeyW(HKEY_CURRENT_USER, kStoreRoot);
  }

  std::wstring AppKey() const { return std::wstring(kStoreRoot) + L"\\" + Widen(app_); }
  std::wstring SectionKey(const std::string& section) const { return AppKey() + L"\\" + Widen(section); }

  std::string app_;
  bool rootExisted_ = false;
};

TEST_F(SettingsStoreTest, SavedValuesAreStoredAsRegSzAndReadBack) {
  struct Row {
    const char* key;
    std::string value;
    std::wstring stored;
  };
  const Row rows[] = {
      {"Plain", "On", L"On"},
      {"Empty", "", L""},
      {"Accents", "Z\xC3\xBCrich \xE2\x82\xAC", L"Z\u00FCrich \u20AC"},
      {"Beyond BMP", "\xF0\x9D\x84\x9E clef", L"\U0001D11E clef"},
      {"Long", std::string(5000, 'q'), std::wstring(5000, L'q')},
      {"Spaced  name\\x", "C:\\Program Files\\x.exe", L"C:\\Program Files\\x.exe"},
  };
  for (const Row& row : rows) {
    features::SaveSetting(app_, "SETTINGS", row.key, row.value);
    const RawValue raw = ReadRaw(SectionKey("SETTINGS"), Widen(row.key));
    ASSERT_EQ(raw.status, ERROR_SUCCESS) << row.key;
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ)) << row.key;
    // Earlier releases wrote the text with its terminating NUL.
    EXPECT_TRUE(raw.data == row.stored + L'\0') << row.key;
    EXPECT_EQ(features::GetSetting(app_, "SETTINGS", row.key, "default"), row.value) << row.key;
  }

  // Saving again replaces the value; the section next to it is separate.
  features::SaveSetting(app_, "SETTINGS", "Plain", "Off");
  EXPECT_EQ(features::GetSetting(app_, "SETTINGS", "Plain", "default"), "Off");
  EXPECT_EQ(features::GetSetting(app_, "Other", "Plain", "default"), "default");
}

TEST_F(SettingsStoreTest, MissingOrForeignValuesGiveTheDefault) {
  // Neither application nor section exist yet.
  EXPECT_EQ(features::GetSetting(app_, "SETTINGS", "Anything", "fallback"), "fallback");
  EXPECT_FALSE(KeyExists(AppKey())) << "reading must not create keys";

  features::SaveSetting(app_, "SETTINGS", "Present", "here");
  const DWORD number = 1;
  const BYTE binary[] = {'a', 0, 'b', 0, 0, 0};
  WriteRaw(SectionKey("SETTINGS"), L"Number", REG_DWORD, &number, sizeof number);
  WriteRaw(SectionKey("SETTINGS"), L"Binary", REG_BINARY, binary, sizeof binary);

  struct Row {
    const char* section;
    const char* key;
    const char* expected;
  };
  const Row rows[] = {
      {"SETTINGS", "Absent", "fallback"},
      {"Other", "Present", "fallback"},
      {"SETTINGS", "Number", "fallback"},
      {"SETTINGS", "Binary", "fallback"},
      {"SETTINGS", "Present", "here"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(features::GetSetting(app_, row.section, row.key, "fallback"), row.expected)
        << row.section << "\\" << row.key;
  }
}

TEST_F(SettingsStoreTest, ReadsTextValuesWrittenByOthers) {
  // Other writers do not always store the terminating NUL, or store more
  // than one, or use the expandable text type.
  const std::wstring unterminated = L"no end";
  const std::wstring doubled = L"two ends";
  const std::wstring expandable = L"%TEMP%\\x";
  WriteRaw(SectionKey("SETTINGS"), L"Unterminated", REG_SZ, unterminated.data(),
           static_cast<DWORD>(unterminated.size() * sizeof(wchar_t)));
  WriteRaw(SectionKey("SETTINGS"), L"Doubled", REG_SZ, (doubled + L'\0' + L'\0').data(),
           static_cast<DWORD>((doubled.size() + 2) * sizeof(wchar_t)));
  WriteRaw(SectionKey("SETTINGS"), L"Expandable", REG_EXPAND_SZ, expandable.c_str(),
           static_cast<DWORD>((expandable.size() + 1) * sizeof(wchar_t)));
  WriteRaw(SectionKey("SETTINGS"), L"Nothing", REG_SZ, L"", 0);

  EXPECT_EQ(features::GetSetting(app_, "SETTINGS", "Unterminated", "d"), "no end");
  EXPECT_EQ(features::GetSetting(app_, "SETTINGS", "Doubled", "d"), "two ends");
  EXPECT_EQ(features::GetSetting(app_, "SETTINGS", "Expandable", "d"), "%TEMP%\\x");
  EXPECT_EQ(features::GetSetting(app_, "SETTINGS", "Nothing", "d"), "");
}

TEST(ExclusionsStore, AddReadMatchAndRemove) {
  // Paths of this test's own, so exclusions stored by anyone else stay.
  const std::string folder = "C:\\Excl Test " + std::to_string(GetCurrentProcessId()) + "\\";
  const std::wstring key = std::wstring(kStoreRoot) + L"\\Tallowick Parawarden\\EXCLUSIONS";
  const auto stored = [&](const std::string& path) -> std::string {
    for (const features::Exclusion& e : features::ReadExclusions()) {
      if (e.path == path) return e.description;
    }
    return "(absent)";
  };
  features::AddExclusion(folder + "Ad.exe", "Some adware");
  features::AddExclusion(folder + "Z\xC3\xBCrich.dll", "Toolbar");
  // An administrator's .reg file writes plain REG_SZ values of its own.
  const std::wstring byHand = Widen(folder + "Hand.exe");
  WriteRaw(key, byHand, REG_SZ, L"By hand", sizeof L"By hand");
  EXPECT_EQ(ReadRaw(key, Widen(folder + "Ad.exe")).type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(stored(folder + "Ad.exe"), "Some adware");
  EXPECT_EQ(stored(folder + "Z\xC3\xBCrich.dll"), "Toolbar");

  const core::PathSet excluded = features::ExcludedPaths();
  EXPECT_TRUE(excluded.Contains(folder + "ad.EXE"));
  EXPECT_TRUE(excluded.Contains(folder + "z\xC3\xBCRICH.dll"));
  EXPECT_TRUE(excluded.Contains(folder + "hand.exe"));
  EXPECT_FALSE(excluded.Contains(folder + "Other.exe"));

  // A second exclusion of the same file, spelled otherwise, replaces the
  // first (the value's name may keep its first case, as names compare
  // without it).
  features::AddExclusion(folder + "\\AD.exe", "Again");
  std::vector<std::string> sameFile;
  for (const features::Exclusion& e : features::ReadExclusions()) {
    if (_stricmp(e.path.c_str(), (folder + "Ad.exe").c_str()) == 0) sameFile.push_back(e.description);
  }
  EXPECT_EQ(sameFile, std::vector<std::string>{"Again"});

  features::RemoveExclusions({folder + "ad.exe", folder + "Z\xC3\xBCRICH.DLL", folder + "Hand.exe"});
  EXPECT_FALSE(features::ExcludedPaths().Contains(folder + "Ad.exe"));
  for (const features::Exclusion& e : features::ReadExclusions()) {
    EXPECT_NE(e.path.rfind(folder, 0), 0u) << e.path << " left behind";
  }
}

void WriteMachineText(REGSAM view, const std::wstring& path, const std::wstring& name, const std::wstring& text) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

void DeletePolicy(REGSAM view) {
  HKEY product = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Tallowick Parawarden", 0, KEY_ALL_ACCESS | view, &product) !=
      ERROR_SUCCESS) {
    return;
  }
  for (const wchar_t* key : {L"Policy\\SETTINGS", L"Policy\\UPDATES", L"Policy\\EXCLUSIONS", L"Policy"}) {
    RegDeleteKeyW(product, key);
  }
  RegCloseKey(product);
}

// Also run in a 64-bit prefix, where the machine's Software key has a view
// for 32-bit programs and one for 64-bit ones.
TEST(MachinePolicy, TheAdministratorsValuesWinAndThe64BitViewFirst) {
  const bool sixtyFour = platform::RunsOn64BitWindows();
  const std::wstring policy = L"Software\\Tallowick Parawarden\\Policy\\";
  const std::wstring settings = std::wstring(kStoreRoot) + L"\\Tallowick Parawarden\\SETTINGS";
  const REGSAM native = sixtyFour ? KEY_WOW64_32KEY : 0;
  WriteRaw(settings, L"GUARD", REG_SZ, L"1", sizeof L"1");
  WriteMachineText(native, policy + L"SETTINGS", L"GUARD", L"0");
  WriteMachineText(native, policy + L"SETTINGS", L"SCANCOUNT", L"99");  // the user's own figure
  WriteMachineText(native, policy + L"EXCLUSIONS", L"C:\\Tools", L"Tools");
  WriteMachineText(native, policy + L"UPDATES", L"SERVER", L"http://127.0.0.1:1/");
  if (sixtyFour) {
    WriteMachineText(KEY_WOW64_64KEY, policy + L"UPDATES", L"SERVER", L"http://127.0.0.1:2/");
    WriteMachineText(KEY_WOW64_64KEY, policy + L"EXCLUSIONS", L"D:\\Kept", L"Kept");
    WriteMachineText(KEY_WOW64_64KEY, policy + L"EXCLUSIONS", L"c:\\tools", L"Tools, 64-bit");
  }

  EXPECT_EQ(features::GetAppSetting("GUARD", "1"), "0");
  EXPECT_TRUE(features::SetByPolicy("GUARD"));
  EXPECT_FALSE(features::SetByPolicy("SCANCOUNT"));
  features::SaveAppSetting("GUARD", "1");
  EXPECT_EQ(ReadRaw(settings, L"GUARD").data.c_str(), std::wstring(L"1")) << "the user's own value stays";
  EXPECT_EQ(features::UpdatesValue("SERVER"), sixtyFour ? "http://127.0.0.1:2/" : "http://127.0.0.1:1/");
  std::vector<std::string> excluded;
  for (const features::Exclusion& e : features::PolicyExclusions()) excluded.push_back(e.path + " > " + e.description);
  // In whatever order the registry lists them.
  std::sort(excluded.begin(), excluded.end());
  const std::vector<std::string> expected =
      sixtyFour ? std::vector<std::string>{"D:\\Kept > Kept", "c:\\tools > Tools, 64-bit"}
                : std::vector<std::string>{"C:\\Tools > Tools"};
  EXPECT_EQ(excluded, expected);
  EXPECT_TRUE(features::IsExcluded(features::ExcludedPaths(), "C:\\Tools\\Sub\\ad.exe"));

  for (REGSAM view : sixtyFour ? std::vector<REGSAM>{KEY_WOW64_32KEY, KEY_WOW64_64KEY} : std::vector<REGSAM>{0}) {
    DeletePolicy(view);
  }
  EXPECT_EQ(features::GetAppSetting("GUARD", "1"), "1");
  HKEY user = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, settings.c_str(), 0, KEY_SET_VALUE, &user) == ERROR_SUCCESS) {
    RegDeleteValueW(user, L"GUARD");
    RegCloseKey(user);
  }
}

TEST(RunKey, SetAndDeleteTheRunValue) {
  // A fresh prefix may not have the per-user Run key; the program only ever
  // opens it, so the test makes it and takes it away again if it was absent.
  const bool runKeyExisted = KeyExists(kRunKey);
  if (!runKeyExisted) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  const std::string name = "Parawarden Test " + std::to_string(GetCurrentProcessId());
  const std::wstring wideName = Widen(name);
  ASSERT_EQ(ReadRaw(kRunKey, wideName).status, ERROR_FILE_NOT_FOUND);

  platform::SetRunValue(name, "C:\\x\\y.exe");
  RawValue raw = ReadRaw(kRunKey, wideName);
  EXPECT_EQ(raw.status, ERROR_SUCCESS);
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
  EXPECT_TRUE(raw.data == std::wstring(L"C:\\x\\y.exe") + L'\0') << Narrow(raw.data);

  // Setting it again with another path replaces it.
  platform::SetRunValue(name, "\"C:\\Program Files\\Z\xC3\xBCrich\\y.exe\" /tray");
  raw = ReadRaw(kRunKey, wideName);
  EXPECT_TRUE(raw.data == std::wstring(L"\"C:\\Program Files\\Z\u00FCrich\\y.exe\" /tray") + L'\0')
      << Narrow(raw.data);

  platform::DeleteRunValue(name);
  EXPECT_EQ(ReadRaw(kRunKey, wideName).status, ERROR_FILE_NOT_FOUND);
  // Deleting what is not there leaves the key as it is.
  platform::DeleteRunValue(name);
  EXPECT_TRUE(KeyExists(kRunKey));

  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueW(key, wideName.c_str());
    RegCloseKey(key);
  }
  if (!runKeyExisted) RegDeleteKeyW(HKEY_CURRENT_USER, kRunKey);
}

}  // namespace
