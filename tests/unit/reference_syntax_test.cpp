#include "core/definitions_index.h"
#include "core/definitions_list.h"
#include "core/definitions_syntax.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Records = std::vector<std::string>;
using namespace std::string_literals;  // for texts holding NUL bytes

struct ParseRow {
  const char* what;
  std::string text;
  Records expected;
};

// The records as the program reads them: parsed where the text lies.
Records ParseItems(const std::string& text) {
  core::DefinitionsList list;
  EXPECT_TRUE(list.AssignTextUpTo(text, SIZE_MAX));
  Records records;
  for (size_t i = 0; i < list.Count(); ++i) records.emplace_back(list.Record(i));
  return records;
}

// Names the row in test listings instead of dumping its bytes.
void PrintTo(const ParseRow& row, std::ostream* os) { *os << row.what; }

class ParseItemsTable : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParseItemsTable, YieldsRecords) {
  const ParseRow& row = GetParam();
  EXPECT_EQ(ParseItems(row.text), row.expected) << row.what;
}

const ParseRow kParseRows[] = {
    {"empty text", "", {}},
    {"blanks only", " \t ", {}},
    {"comma splits an entry", "foo.exe|Adware, toolbar", {"foo.exe|Adware", "toolbar"}},
    {"quotes keep the comma", "\"foo.exe|Adware, toolbar\"", {"foo.exe|Adware, toolbar"}},
    {"leading and trailing blanks", "  \tabc  \t\r\n", {"abc"}},
    {"blanks inside kept", "a b\tc", {"a b\tc"}},
    {"every line end", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
    {"CR CR is an empty line", "a\r\rb", {"a", "b"}},
    {"LF CR is two line ends", "a\n\rb", {"a", "b"}},
    {"blank lines skipped", "  \t \r\n\n\r x\r\n \r\n", {"x"}},
    {"trailing comma", "a,", {"a", ""}},
    {"trailing comma and blanks", "a,  ", {"a", ""}},
    {"comma alone", ",\n", {"", ""}},
    {"blank between commas", "a, ,b", {"a", "", "b"}},
    {"line starting with a comma", "  ,a", {"", "a"}},
    {"comma then line end", "a,\r\nb", {"a", "", "b"}},
    {"quote after comma and blanks", "x, \"a,b\"  ", {"x", "a,b"}},
    {"quoted blanks kept", "\" a \"", {" a "}},
    {"empty quotes", " \"\"", {""}},
    {"quoted item spans lines", "\"a\r\nb\",c", {"a\r\nb", "c"}},
    {"after closing quote discarded to comma", "\"abc\" junk,next", {"abc", "next"}},
    {"after closing quote discarded to line end", "\"abc\" junk, more\nnext", {"abc", "more", "next"}},
    {"second quoted part discarded", "\"a\"\"b\"", {"a"}},
    {"unclosed quote ends at its line", "\"open, never closed\r\nfoo.exe|x\r\nbar", {"open, never closed", "foo.exe|x", "bar"}},
    {"unclosed quote on last line", "a\r\n\"tail", {"a", "tail"}},
    {"quote inside plain item", "a\"b,c", {"a\"b", "c"}},
    {"NUL dropped in plain item", "a\0b\0\r\n"s, {"ab"}},
    {"NUL-only line is blank", "\0\0\r\n\0 \t\0\nx"s, {"x"}},
    {"NUL between trailing blanks", "a \0 ,b"s, {"a", "b"}},
    {"NUL before quote", "\0\"x,y\""s, {"x,y"}},
    {"NUL dropped in quoted item", "\"x\0y\""s, {"xy"}},
    {"NUL dropped in unclosed quote", "\"x\0y\nz"s, {"xy", "z"}},
    {"UTF-8 passes through", "caf\xC3\xA9.exe|d\xC3\xA9", {"caf\xC3\xA9.exe|d\xC3\xA9"}},
    {"header then entries", "Ver1.45 defs\r\nfoo.exe|Adware\r\nbar.dll|Spyware\r\n",
     {"Ver1.45 defs", "foo.exe|Adware", "bar.dll|Spyware"}},
};

INSTANTIATE_TEST_SUITE_P(Rows, ParseItemsTable, ::testing::ValuesIn(kParseRows));

struct SplitRow {
  std::string record;
  bool ok;
  std::string name;
  std::string description;
};

TEST(SplitEntry, SplitsAtFirstBar) {
  const SplitRow rows[] = {
      {"foo.exe|Adware|Browser toolbar", true, "foo.exe", "Adware|Browser toolbar"},
      {"|x", true, "", "x"},
      {"x|", true, "x", ""},
      {"|", true, "", ""},
      {"foo.exe", false, "", ""},
      {"", false, "", ""},
  };
  for (const SplitRow& row : rows) {
    core::Entry entry;
    ASSERT_EQ(core::SplitEntry(row.record, entry), row.ok) << row.record;
    if (!row.ok) continue;
    EXPECT_EQ(entry.name, row.name) << row.record;
    EXPECT_EQ(entry.description, row.description) << row.record;
  }
}

// Large or hostile files must load whole and without tripping the sanitizers.
TEST(ParseItemsLarge, TenMegabyteLine) {
  const std::string line(10 * 1024 * 1024, 'x');
  const Records plain = ParseItems(line + "\r\nnext");
  ASSERT_EQ(plain.size(), 2u);
  EXPECT_EQ(plain[0].size(), line.size());
  EXPECT_EQ(plain[1], "next");

  const Records unclosed = ParseItems("\"" + line + "\nnext");
  ASSERT_EQ(unclosed.size(), 2u);
  EXPECT_EQ(unclosed[0].size(), line.size());
  EXPECT_EQ(unclosed[1], "next");
}

TEST(ParseItemsLarge, HundredThousandEntriesPlusHeader) {
  constexpr size_t kEntries = 100000;
  std::string text = "Ver9.99 definitions\r\n";
  for (size_t i = 0; i < kEntries; ++i) text += "file" + std::to_string(i) + ".exe|Adware\r\n";
  core::DefinitionsList list;
  list.Assign(ParseItems(text));
  ASSERT_EQ(list.Count(), kEntries + 1);
  EXPECT_EQ(list.Header(), "Ver9.99 definitions");
  EXPECT_EQ(list.Record(32768), "file32767.exe|Adware");
  EXPECT_EQ(list.Record(kEntries), "file99999.exe|Adware");
}

TEST(ParseItemsLarge, StopsAtTheRecordLimit) {
  // Sixteen megabytes of commas would be sixteen million records.
  const std::string commas = "Ver1\r\na.exe|A," + std::string(16 * 1024 * 1024, ',');
  core::DefinitionsList list;
  EXPECT_FALSE(list.AssignTextUpTo(commas, 1000));
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_TRUE(list.AssignTextUpTo("Ver1\r\na.exe|A,b.exe|B", 3));
  EXPECT_EQ(list.Record(2), "b.exe|B");
}

// Many entries, each name twice far apart and in other case: the index must
// find both in list order and nothing for a name it lacks.
TEST(DefinitionsIndex, LargeListFindsEveryEntryOfANameInListOrder) {
  constexpr size_t kNames = 50000;
  std::vector<std::string> records = {"header"};
  for (size_t i = 0; i < kNames; ++i) records.push_back("file" + std::to_string(i) + ".exe|first");
  for (size_t i = 0; i < kNames; ++i) records.push_back("FILE" + std::to_string(i) + ".EXE|second");
  core::DefinitionsList list;
  list.Assign(records);
  const core::DefinitionsIndex index(list, core::FoldAscii);
  for (size_t i : {size_t{0}, size_t{12345}, kNames - 1}) {
    EXPECT_EQ(index.Find("file" + std::to_string(i) + ".exe"), (std::vector<size_t>{i + 1, kNames + i + 1}));
  }
  EXPECT_TRUE(index.Find("file" + std::to_string(kNames) + ".exe").empty());
  EXPECT_TRUE(index.Find("header").empty());
}

// A damaged or hostile file may repeat one name without end: every copy is
// found, in list order, and names beside them stay quick to tell apart.
TEST(DefinitionsIndex, ManyCopiesOfOneNameAreFoundInListOrder) {
  constexpr size_t kCopies = 200000;
  std::vector<std::string> records = {"header", "other.exe|x"};
  for (size_t i = 0; i < kCopies; ++i) records.push_back("setup.exe|copy");
  core::DefinitionsList list;
  list.Assign(records);
  const core::DefinitionsIndex index(list, core::FoldAscii);
  const std::vector<size_t> found = index.Find("setup.exe");
  ASSERT_EQ(found.size(), kCopies);
  EXPECT_EQ(found.front(), 2u);
  EXPECT_TRUE(std::is_sorted(found.begin(), found.end()));
  EXPECT_EQ(index.Find("other.exe"), std::vector<size_t>{1});
  for (int i = 0; i < 1000; ++i) EXPECT_TRUE(index.Find("missing" + std::to_string(i) + ".exe").empty());
}

TEST(ParseItemsLarge, BinaryGarbage) {
  std::string every;
  for (int b = 0; b < 256; ++b) every.push_back(static_cast<char>(b));
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += every;

  const Records all = ParseItems(garbage);
  ASSERT_FALSE(all.empty());
  for (const std::string& r : all) ASSERT_EQ(r.find('\0'), std::string::npos);

  // Without quotes every item is plain, so none may hold a delimiter or
  // begin or end with a blank.
  std::string unquoted = garbage;
  for (char& c : unquoted)
    if (c == '"') c = 'q';
  const Records plain = ParseItems(unquoted);
  ASSERT_FALSE(plain.empty());
  for (const std::string& r : plain) {
    ASSERT_EQ(r.find_first_of(",\r\n"s + '\0'), std::string::npos);
    if (r.empty()) continue;
    ASSERT_TRUE(r.front() != ' ' && r.front() != '\t');
    ASSERT_TRUE(r.back() != ' ' && r.back() != '\t');
  }
}

TEST(DefinitionsList, HeaderAndBounds) {
  core::DefinitionsList list;
  EXPECT_EQ(list.Header(), "");
  EXPECT_EQ(list.Count(), 0u);
  list.Assign({"head", "a|b"});
  EXPECT_EQ(list.Header(), "head");
  EXPECT_EQ(list.Record(1), "a|b");
  EXPECT_THROW(list.Record(2), std::out_of_range);
  list.Clear();
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.Header(), "");
  // Shown up to its first line end, and cut short between characters.
  list.Assign({"Ver1.0\r\nspans lines"});
  EXPECT_EQ(list.Header(), "Ver1.0");
  list.Assign({"V" + std::string(198, 'x') + "\xC3\xA9 and more"});
  EXPECT_EQ(list.Header(), "V" + std::string(198, 'x'));
}

TEST(DecodeDefinitionsBytes, BomMeansUtf8OtherwiseConverter) {
  struct Row {
    std::string bytes;
    bool converted;
    std::string expected;
  };
  const Row rows[] = {
      {"\xEF\xBB\xBF" "caf\xC3\xA9", false, "caf\xC3\xA9"},
      {"\xEF\xBB\xBF", false, ""},
      {"\xEF\xBB\xBF\xEF\xBB\xBF" "a", false, "\xEF\xBB\xBF" "a"},  // only one mark is dropped
      {"caf\xE9", true, "[caf\xE9]"},
      {"\xEF\xBB" "a", true, "[\xEF\xBB" "a]"},  // a partial mark is ANSI text
      {"", false, ""},
      {"Ver1|plain\r\nfoo.exe|Adware", false, "Ver1|plain\r\nfoo.exe|Adware"},  // ASCII needs no converting
  };
  for (const Row& row : rows) {
    std::string seen;
    bool called = false;
    const std::string out = core::DecodeDefinitionsBytes(row.bytes, [&](std::string_view b) {
      called = true;
      seen = std::string(b);
      return "[" + seen + "]";
    });
    EXPECT_EQ(called, row.converted) << row.bytes;
    EXPECT_EQ(out, row.expected) << row.bytes;
    if (called) {
      EXPECT_EQ(seen, row.bytes);
    }
  }
}

}  // namespace
