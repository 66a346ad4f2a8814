// The definitions shipped in app/ref.dat. The process pass ends every running
// program that a record names, so a record must name a file that belongs to
// one adware or spyware program only, and docs/definitions.md must say where
// that program's files are documented.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "core/definitions_syntax.h"
#include "core/update_limits.h"
#include "core/version_text.h"

namespace {

std::string ReadSourceFile(const std::string& relative) {
  std::ifstream in(std::string(PW_SOURCE_DIR) + "/" + relative, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Names that installers and updaters of any program use, and files of Windows
// itself: a record naming one would flag and end programs the user needs.
const std::set<std::string> kDeniedNames = {
    "setup.exe",    "install.exe",  "installer.exe", "uninstall.exe", "uninst.exe",   "update.exe",
    "updater.exe",  "helper.dll",   "launcher.exe",  "service.exe",   "toolbar.dll",  "explorer.exe",
    "svchost.exe",  "rundll32.exe", "winlogon.exe",  "lsass.exe",     "csrss.exe",    "smss.exe",
    "services.exe", "spoolsv.exe",  "iexplore.exe",  "userinit.exe",  "wuauclt.exe",  "ctfmon.exe",
    "msiexec.exe",  "regsvr32.exe", "taskmgr.exe",   "kernel32.dll",  "user32.dll",   "wininet.dll",
    "hosts",
};

// File names with a row in the sources table: "| `name` | family | source |",
// where the source gives the document's address.
std::set<std::string> SourcedNames(const std::string& markdown) {
  std::set<std::string> names;
  size_t start = 0;
  while (start < markdown.size()) {
    size_t end = markdown.find('\n', start);
    if (end == std::string::npos) end = markdown.size();
    const std::string line = markdown.substr(start, end - start);
    start = end + 1;
    if (line.rfind("| `", 0) != 0) continue;
    const size_t close = line.find('`', 3);
    const bool hasAddress = line.find("http://") != std::string::npos || line.find("https://") != std::string::npos;
    if (close != std::string::npos && hasAddress) names.insert(Lower(line.substr(3, close - 3)));
  }
  return names;
}

TEST(ShippedDefinitions, LoadAsAVersionedFileInEveryCodePage) {
  const std::string text = ReadSourceFile("app/ref.dat");
  EXPECT_TRUE(core::LooksLikeDefinitions(text, core::kDefinitionsRecords));
  // ASCII reads the same in whatever ANSI code page the user's Windows has.
  EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
}

TEST(ShippedDefinitions, EveryRecordNamesASpecificDocumentedFile) {
  const std::vector<std::string> records = core::ParseItems(ReadSourceFile("app/ref.dat"));
  const std::set<std::string> sourced = SourcedNames(ReadSourceFile("docs/definitions.md"));
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
    EXPECT_EQ(kDeniedNames.count(name), 0u) << "generic or Windows file name: " << record;
    EXPECT_TRUE(seen.insert(name).second) << "named twice: " << record;
    EXPECT_EQ(sourced.count(name), 1u) << "no source row in docs/definitions.md: " << record;
  }
}

}  // namespace
