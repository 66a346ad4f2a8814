// Text conversions, the questions the program asks the system, and the
// notification-area record the shell reads byte for byte.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "platform/system.h"
#include "platform/text.h"
#include "toolkit/tray_icon.h"

namespace {

using platform::Narrow;
using platform::Widen;

TEST(Text, Utf8AndUtf16RoundTrip) {
  struct Row {
    std::string utf8;
    std::wstring utf16;
  };
  const Row rows[] = {
      {"", L""},
      {"plain ASCII", L"plain ASCII"},
      {"Z\xC3\xBCrich \xE2\x82\xAC", L"Z\u00FCrich \u20AC"},
      {"\xE6\x97\xA5\xE6\x9C\xAC.exe", L"\u65e5\u672c.exe"},
      {"\xF0\x9D\x84\x9E", L"\U0001D11E"},
      // Lengths are explicit, so inner NULs survive.
      {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
      // Unpaired surrogates, legal in NTFS names, keep their own sequences.
      {"a\xED\xA0\x80.exe", L"a\xD800.exe"},
      {"\xED\xBF\xBF", L"\xDFFF"},
      {"\xED\xB0\x80\xED\xA0\x80", L"\xDC00\xD800"},
  };
  for (const Row& row : rows) {
    EXPECT_TRUE(Widen(row.utf8) == row.utf16) << row.utf8;
    EXPECT_EQ(Narrow(row.utf16), row.utf8);
  }
}

TEST(Text, AnsiCodePageConversions) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs ANSI code page 1252, have " << GetACP();
  struct Row {
    std::string ansi;
    std::string utf8;
  };
  const Row rows[] = {
      {"", ""},
      {"abc", "abc"},
      {"\xE9", "\xC3\xA9"},
      {"\x80", "\xE2\x82\xAC"},
      {std::string("a\0\xE9", 3), std::string("a\0\xC3\xA9", 4)},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(platform::AnsiToUtf8(row.ansi), row.utf8);
    EXPECT_EQ(platform::Utf8ToAnsi(row.utf8), row.ansi);
  }
  // Characters the code page cannot hold become "?", one per character.
  EXPECT_EQ(platform::Utf8ToAnsi("\xE6\x97\xA5"), "?");
  EXPECT_EQ(platform::Utf8ToAnsi("x\xE6\x97\xA5\xE6\x9C\xAC.exe"), "x??.exe");
}

TEST(System, PlatformIdAndWindowsDirectory) {
  // Wine presents itself as an NT-family Windows by default.
  EXPECT_EQ(platform::OsPlatformId(), 2);

  wchar_t buffer[MAX_PATH + 1] = {};
  const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
  ASSERT_GT(length, 0u);
  const std::string folder = platform::WindowsDirectory();
  EXPECT_EQ(folder, Narrow(std::wstring_view(buffer, length)));
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_EQ(folder.find('\0'), std::string::npos);
  EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, folder.c_str(), -1, "C:\\windows", -1), CSTR_EQUAL)
      << folder;
}

// The icon needs a window to belong to; a hidden static control serves, and
// the icon is taken away again afterwards.
class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"tray test", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    NOTIFYICONDATAA remove;
    std::memset(&remove, 0, sizeof remove);
    remove.cbSize = NOTIFYICONDATAA_V1_SIZE;
    remove.hWnd = window_;
    remove.uID = 1;
    Shell_NotifyIconA(NIM_DELETE, &remove);
    DestroyWindow(window_);
  }
  HWND window_ = nullptr;
};

TEST_F(TrayIconTest, RecordIsTheOriginalLayoutWithBlankPaddedTip) {
  static_assert(sizeof(toolkit::NotifyRecord88) == 88, "the shell reads 88 bytes");
  EXPECT_EQ(offsetof(toolkit::NotifyRecord88, szTip), 24u);

  if (GetACP() != 1252) GTEST_SKIP() << "tip bytes below are code page 1252";
  HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
  struct Row {
    std::string tip;
    std::string bytes;  // what the tip field starts with, NUL included
  };
  const std::string sixtyThree(63, 'x');
  const Row rows[] = {
      {"Tallowick Parawarden", std::string("Tallowick Parawarden\0", 21)},
      {"", std::string("\0", 1)},
      {"Z\xC3\xBCrich", std::string("Z\xFCrich\0", 7)},
      {"\xE6\x97\xA5 tip", std::string("? tip\0", 6)},
      {sixtyThree, sixtyThree + '\0'},
      {sixtyThree + "yz", sixtyThree + '\0'},
  };
  for (const Row& row : rows) {
    toolkit::NotifyRecord88 record;
    std::memset(&record, 0xCC, sizeof record);
    toolkit::AddTrayIcon(record, icon, window_, row.tip);
    EXPECT_EQ(record.cbSize, 88u);
    EXPECT_EQ(record.hWnd, window_);
    EXPECT_EQ(record.uID, 1u);
    EXPECT_EQ(record.uFlags, 7u);
    EXPECT_EQ(record.uCallbackMessage, 0x200u);
    EXPECT_EQ(record.hIcon, icon);
    const std::string field(record.szTip, sizeof record.szTip);
    const std::string expected = row.bytes + std::string(64 - row.bytes.size(), ' ');
    EXPECT_EQ(field, expected) << row.tip;
  }
}

}  // namespace
