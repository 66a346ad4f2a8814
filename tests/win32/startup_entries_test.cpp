// The machine's Run key as the program sees it. On 64-bit Windows it has a
// view for 32-bit programs and one for 64-bit programs: a value in either is
// listed under a key name that removes and writes back that very value.
// scripts/test runs this in a 64-bit prefix as well, with
// PW_EXPECT_64BIT_WINDOWS set.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "features/startup_traces.h"
#include "platform/files.h"
#include "platform/startup_entries.h"
#include "platform/system.h"
#include "platform/text.h"

namespace {

constexpr const wchar_t* kRunPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kRunKey = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string k64BitRunKey = "HKLM64\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The value as stored in one view, read past the program's own code.
std::optional<std::wstring> Stored(REGSAM view, const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunPath, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  wchar_t data[MAX_PATH] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  const LONG status =
      RegQueryValueExW(key, platform::Widen(name).c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return std::wstring(data);
}

void Store(REGSAM view, const std::string& name, const std::string& data) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunPath, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  const std::wstring text = platform::Widen(data);
  EXPECT_EQ(RegSetValueExW(key, platform::Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

void Unstore(REGSAM view, const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunPath, 0, KEY_SET_VALUE | view, &key) != ERROR_SUCCESS) return;
  RegDeleteValueW(key, platform::Widen(name).c_str());
  RegCloseKey(key);
}

TEST(StartupEntries, EachViewOfTheMachinesRunKeyIsListedRemovedAndWrittenBackOnItsOwn) {
  const bool twoViews = platform::RunsOn64BitWindows();
  if (std::getenv("PW_EXPECT_64BIT_WINDOWS") != nullptr) {
    ASSERT_TRUE(twoViews);
  }
  const std::string id = std::to_string(GetCurrentProcessId());
  const std::string name32 = "pwtest 32-bit " + id, name64 = "pwtest 64-bit " + id;
  Store(KEY_WOW64_32KEY, name32, "C:\\pwtest\\thirty-two.exe");
  Store(KEY_WOW64_64KEY, name64, "C:\\pwtest\\sixty-four.exe");

  // On 32-bit Windows the views are one key, which the program lists once.
  using Entry = std::pair<std::string, std::string>;
  const std::set<Entry> expected =
      twoViews ? std::set<Entry>{{kRunKey, name32}, {k64BitRunKey, name64}}
               : std::set<Entry>{{kRunKey, name32}, {kRunKey, name64}};
  std::set<Entry> listed;
  for (const platform::LogOnValue& value : platform::ListLogOnValues()) {
    if (value.name == name32 || value.name == name64) listed.insert({value.key, value.name});
  }
  EXPECT_EQ(listed, expected);

  for (const auto& [key, name] : expected) {
    SCOPED_TRACE(key + " " + name);
    const REGSAM view = name == name32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    const REGSAM other = name == name32 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    const std::optional<std::wstring> data = Stored(view, name);
    ASSERT_TRUE(data.has_value());
    EXPECT_TRUE(platform::DeleteLogOnValue(key, name));
    EXPECT_FALSE(Stored(view, name).has_value());
    EXPECT_TRUE(platform::WriteLogOnValue(key, name, REG_SZ, platform::Narrow(*data)));
    EXPECT_EQ(Stored(view, name), data);
    // Written back again it is already there; another program's value under
    // that name since is not replaced.
    EXPECT_TRUE(platform::WriteLogOnValue(key, name, REG_SZ, platform::Narrow(*data)));
    EXPECT_FALSE(platform::WriteLogOnValue(key, name, REG_SZ, "C:\\pwtest\\other.exe"));
    EXPECT_EQ(Stored(view, name), data);
    if (twoViews) {
      EXPECT_FALSE(Stored(other, name).has_value()) << "written into the other view";
    }
  }

  for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    Unstore(view, name32);
    Unstore(view, name64);
  }
}

// What a damaged or altered journal names is put back only where log-on
// entries live: a Run or RunOnce value, a shortcut file in a Startup folder.
TEST(StartupEntries, TracesComeBackOnlyToRunKeysAndStartupFolders) {
  const std::vector<std::string> startup = platform::StartupFolders();
  ASSERT_FALSE(startup.empty());
  const std::string id = std::to_string(GetCurrentProcessId());
  using Kind = core::StartupTrace::Kind;
  const std::string shortcut = startup.front() + "\\pwtest " + id + ".LNK";
  const std::string runKey = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::pair<core::StartupTrace, bool> rows[] = {
      {{Kind::RunValue, runKey, "pwtest " + id, REG_SZ, "C:\\pwtest\\a.exe"}, true},
      {{Kind::Shortcut, shortcut, "", 0, "shortcut bytes"}, true},
      {{Kind::RunValue, "HKCU\\Software\\pwtest " + id, "x", REG_SZ, "C:\\pwtest\\a.exe"}, false},
      {{Kind::Shortcut, "C:\\pwtest-" + id + ".lnk", "", 0, "bytes"}, false},
      {{Kind::Shortcut, startup.front() + "\\pwtest " + id + ".exe", "", 0, "bytes"}, false},
      {{Kind::Shortcut, startup.front() + "\\..\\pwtest " + id + ".lnk", "", 0, "bytes"}, false},
      {{Kind::Shortcut, startup.front() + "\\../pwtest " + id + ".lnk", "", 0, "bytes"}, false},
  };
  for (const auto& [trace, allowed] : rows) {
    SCOPED_TRACE(trace.where);
    EXPECT_EQ(features::RestoreStartupTraces({trace}).empty(), allowed);
  }
  std::string bytes;
  EXPECT_EQ(platform::ReadFileBytes(shortcut, bytes), platform::ReadResult::Ok);
  EXPECT_EQ(bytes, "shortcut bytes");
  EXPECT_FALSE(platform::PathExists("C:\\pwtest-" + id + ".lnk"));
  EXPECT_FALSE(platform::PathExists(startup.front() + "\\pwtest " + id + ".exe"));
  HKEY other = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, platform::Widen("Software\\pwtest " + id).c_str(), 0, KEY_READ, &other),
            ERROR_SUCCESS);
  EXPECT_TRUE(platform::DeleteLogOnValue(runKey, "pwtest " + id));
  platform::DeleteEvenIfReadOnly(shortcut);
}

}  // namespace
