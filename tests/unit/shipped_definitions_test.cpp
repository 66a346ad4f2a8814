// The definitions shipped in app/ref.dat. The process pass ends every running
// program that a record names, so a record must name a file that belongs to
// one adware or spyware program only, and docs/definitions.md must say where
// that program's files are documented.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/definitions_list.h"
#include "core/definitions_syntax.h"
#include "core/update_limits.h"
#include "core/version_text.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadSourceFile(const std::string& relative) {
  return ReadFile(std::string(PW_SOURCE_DIR) + "/" + relative);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// The shipped file's records as the program reads them, the header first.
std::vector<std::string> ShippedRecords() {
  core::DefinitionsList list;
  EXPECT_TRUE(list.AssignTextUpTo(ReadSourceFile("app/ref.dat"), SIZE_MAX));
  std::vector<std::string> records;
  for (size_t i = 0; i < list.Count(); ++i) records.emplace_back(list.Record(i));
  return records;
}

// The entry names of the shipped records, lower-case, with each record's text.
std::vector<std::pair<std::string, std::string>> ShippedNames() {
  std::vector<std::pair<std::string, std::string>> names;
  const std::vector<std::string> records = ShippedRecords();
  for (size_t i = 1; i < records.size(); ++i) {
    core::Entry entry;
    if (core::SplitEntry(records[i], entry)) names.emplace_back(Lower(std::string(entry.name)), records[i]);
  }
  return names;
}

// Names that installers, updaters and other ordinary programs use, names of
// other programs that a write-up also gave to spyware, and files of Windows
// that Wine does not ship (the rest of Windows' own names come from the list
// that the test command makes): a record naming one would flag and end
// programs the user needs.
const std::set<std::string> kDeniedNames = {
    "setup.exe",    "install.exe",  "installer.exe", "uninstall.exe", "uninst.exe",  "update.exe",
    "updater.exe",  "helper.dll",   "launcher.exe",  "service.exe",   "toolbar.dll", "bho.dll",
    "gmt.exe",      "ld.exe",       "kbhook.dll",    "nail.exe",      "tinybar.exe", "winlogon.exe",
    "lsass.exe",    "csrss.exe",    "smss.exe",      "userinit.exe",  "wuauclt.exe", "ctfmon.exe",
};

// Rows of the sources table, "| `name` | family | source |", by file name,
// where the source gives the document's address.
std::map<std::string, std::string> SourceRows(const std::string& markdown) {
  std::map<std::string, std::string> rows;
  for (const std::string& line : Lines(markdown)) {
    if (line.rfind("| `", 0) != 0) continue;
    const size_t close = line.find('`', 3);
    const bool hasAddress = line.find("http://") != std::string::npos || line.find("https://") != std::string::npos;
    if (close != std::string::npos && hasAddress) rows[Lower(line.substr(3, close - 3))] = line;
  }
  return rows;
}

TEST(ShippedDefinitions, LoadAsAVersionedFileInEveryCodePage) {
  const std::string text = ReadSourceFile("app/ref.dat");
  EXPECT_TRUE(core::LooksLikeDefinitions(text, core::kDefinitionsRecords));
  // ASCII reads the same in whatever ANSI code page the user's Windows has.
  EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
}

TEST(ShippedDefinitions, EveryRecordNamesASpecificDocumentedFile) {
  const std::vector<std::string> records = ShippedRecords();
  const std::map<std::string, std::string> rows = SourceRows(ReadSourceFile("docs/definitions.md"));
  // The header and at least 150 records, so that an old infected machine
  // shows something.
  EXPECT_GE(records.size(), 151u);
  std::set<std::string> seen;
  for (size_t i = 1; i < records.size(); ++i) {
    const std::string& record = records[i];
    core::Entry entry;
    // A comma in a description splits the record, and the tail is no entry.
    ASSERT_TRUE(core::SplitEntry(record, entry)) << "not name|description: " << record;
    const std::string name = Lower(std::string(entry.name));
    EXPECT_FALSE(name.empty()) << record;
    EXPECT_EQ(name.find_first_of("\\/:*?\"<>"), std::string::npos) << "not a bare file name: " << record;
    EXPECT_NE(entry.description.find(" - "), std::string_view::npos) << "not \"Family - what it does\": " << record;
    EXPECT_EQ(kDeniedNames.count(name), 0u) << "generic or another program's file name: " << record;
    EXPECT_TRUE(seen.insert(name).second) << "named twice: " << record;
    const auto row = rows.find(name);
    if (row == rows.end()) {
      ADD_FAILURE() << "no source row in docs/definitions.md: " << record;
      continue;
    }
    // Short names are the ones other programs pick too: the row must say why
    // this one is safe to end and quarantine.
    const size_t stem = name.find('.') == std::string::npos ? name.size() : name.find('.');
    if (stem <= 4) {
      EXPECT_NE(row->second.find("Short name:"), std::string::npos)
          << "a name of 4 characters or fewer needs a \"Short name:\" line in its row saying why it is safe: "
          << record;
    }
  }
}

// The test command lists the file names of Windows itself (the Windows
// libraries and programs of the Wine that runs the tests and every file of a
// fresh prefix's C:\windows) into the file that PW_WINDOWS_NAMES names.
TEST(ShippedDefinitions, NoRecordNamesAFileOfWindows) {
  const char* path = std::getenv("PW_WINDOWS_NAMES");
  if (path == nullptr) GTEST_SKIP() << "PW_WINDOWS_NAMES is not set; scripts/test makes the list of Windows' file names";
  const std::string list = ReadFile(path);
  ASSERT_FALSE(list.empty()) << "no list of Windows' file names at " << path;
  std::set<std::string> windowsNames;
  for (const std::string& line : Lines(list)) {
    if (!line.empty()) windowsNames.insert(Lower(line));
  }
  // Far fewer names, or none of these, means the list was not made from Windows' folders.
  ASSERT_GE(windowsNames.size(), 500u) << "too few names in " << path;
  for (const char* known : {"kernel32.dll", "shell32.dll", "explorer.exe", "svchost.exe"}) {
    ASSERT_EQ(windowsNames.count(known), 1u) << known << " missing from " << path;
  }
  for (const auto& [name, record] : ShippedNames()) {
    EXPECT_EQ(windowsNames.count(name), 0u) << "a file of Windows: " << record;
  }
}

}  // namespace
