#include "core/scan_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

TEST(ScanLines, DetectionAndReportLines) {
  struct Row {
    std::string folder;
    std::string name;
    std::string description;
    std::string detection;
    std::string report;
  };
  const Row rows[] = {
      {"C:\\Temp", "foo.exe", "Adware", "C:\\Temp\\foo.exe > Adware", "\r\nAdware found >C:\\Temp\\foo.exe"},
      // A drive root keeps its own backslash, and the name follows it.
      {"C:\\", "foo.exe", "Adware", "C:\\foo.exe > Adware", "\r\nAdware found >C:\\foo.exe"},
      {"D:\\a b\\c", "Bar Baz.DLL", "Spy|ware", "D:\\a b\\c\\Bar Baz.DLL > Spy|ware",
       "\r\nAdware found >D:\\a b\\c\\Bar Baz.DLL"},
      {"C:\\Temp", "x.exe", "", "C:\\Temp\\x.exe > ", "\r\nAdware found >C:\\Temp\\x.exe"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.folder + " | " + row.name);
    const core::Detection detection = core::DetectionIn(row.folder, row.name, row.description);
    EXPECT_EQ(core::DetectionLine(detection), row.detection);
    EXPECT_EQ(core::ReportLine(detection), row.report);
  }
}

struct PathRow {
  std::string location;
  std::string folder;
};

void PrintTo(const PathRow& row, std::ostream* os) { *os << '"' << row.location << '"'; }

class FolderPathOfTable : public ::testing::TestWithParam<PathRow> {};

TEST_P(FolderPathOfTable, Normalises) { EXPECT_EQ(core::FolderPathOf(GetParam().location), GetParam().folder); }

const PathRow kPathRows[] = {
    {"C:", "C:\\"},
    {"C:\\", "C:\\"},
    {"C:\\\\", "C:\\"},
    {" C: ", "C:\\"},
    {"C:\\a\\", "C:\\a"},
    {"C:\\a\\\\", "C:\\a"},
    {"C:\\a", "C:\\a"},
    {"  C:\\Temp  ", "C:\\Temp"},
    {" C:\\Temp\\ ", "C:\\Temp"},
    {"C:\\a b\\c d", "C:\\a b\\c d"},
    {"\\\\server\\share\\", "\\\\server\\share"},
    {"", ""},
    {"   ", ""},
};

INSTANTIATE_TEST_SUITE_P(Rows, FolderPathOfTable, ::testing::ValuesIn(kPathRows));

TEST(ShortenForLabel, WholeUpToEightyCharactersThenFirstAndLastComponent) {
  // "C:\Program Files\" + filler + "\deep" at any wanted length.
  const auto pathOfLength = [](size_t length) {
    const std::string head = "C:\\Program Files\\";
    const std::string tail = "\\deep";
    return head + std::string(length - head.size() - tail.size(), 'f') + tail;
  };
  const std::string eighty = pathOfLength(80);
  const std::string eightyOne = pathOfLength(81);
  ASSERT_EQ(eighty.size(), 80u);
  ASSERT_EQ(eightyOne.size(), 81u);
  const std::string single = "C:\\" + std::string(120, 'x');
  // "C:\ü" + "日" x n + "\last": 9 + n characters, far more bytes.
  const auto wide = [](size_t n) {
    std::string path = "C:\\\xC3\xBC";
    for (size_t i = 0; i < n; ++i) path += "\xE6\x97\xA5";
    return path + "\\last";
  };

  struct Row {
    std::string path;
    std::string shown;
  };
  const Row rows[] = {
      {"C:\\", "C:\\"},
      {"C:\\Temp\\sub", "C:\\Temp\\sub"},
      {eighty, eighty},
      {eightyOne, "C:\\P...\\deep"},
      {wide(71), wide(71)},
      {wide(72), "C:\\\xC3\xBC...\\last"},
      {pathOfLength(400), "C:\\P...\\deep"},
      {single, "C:\\x...\\" + std::string(120, 'x')},
      {"\\\\server\\" + std::string(90, 's') + "\\deep", "\\\\...\\deep"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(core::ShortenForLabel(row.path), row.shown);
  }
}

TEST(FullScanRoots, EveryDriveInListOrderButFloppies) {
  struct Row {
    Texts entries;
    Texts floppies;
    Texts roots;
  };
  const Row rows[] = {
      {{"a:", "c:", "d: [DATA]"}, {"a:"}, {"c:\\", "d:\\"}},
      {{"a:", "b:", "c:", "e:"}, {"a:", "b:"}, {"c:\\", "e:\\"}},
      {{"b:", "c:"}, {"b:"}, {"c:\\"}},
      {{"a:", "c: [SYSTEM]"}, {}, {"a:\\", "c:\\"}},
      {{"c:", "e:"}, {}, {"c:\\", "e:\\"}},
      {{"a:"}, {"a:"}, {}},
      {{}, {}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.entries));
    const auto isFloppy = [&](const std::string& entry) {
      return std::find(row.floppies.begin(), row.floppies.end(), entry) != row.floppies.end();
    };
    EXPECT_EQ(core::FullScanRoots(row.entries, isFloppy), row.roots);
  }
}

// The report file name is built from this text, so whatever time of day the
// clock gives, it must stay a plain decimal close to the value.
TEST(FormatSeconds, ShortestFormWithoutExponentAndAtMostSevenDigits) {
  struct Row {
    float seconds;
    std::string separator;
    std::string text;
  };
  const Row rows[] = {
      {31366.55f, ".", "31366.55"},
      {45.0f, ".", "45"},
      {0.5f, ",", "0,5"},
      {86399.99f, ".", "86399.99"},
      {3600.1f, ".", "3600.1"},
      {0.01f, ".", "0.01"},
      {0.0f, ".", "0"},
      {12.25f, ",", "12,25"},
      // Round-tripping this one would take eight digits; the form stops at seven.
      {3600.1235f, ".", "3600.124"},
      // Small enough that the general form would switch to an exponent.
      {0.00001f, ".", "0.00001"},
      {0.000015f, ",", "0,000015"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(core::FormatSeconds(row.seconds, row.separator), row.text) << row.seconds;
  }

  std::vector<float> samples;
  for (int i = 0; i < 86400 * 4; i += 7) samples.push_back(static_cast<float>(i) / 4.0f + 0.013f * (i % 11));
  for (float tiny = 1e-7f; tiny < 1.0f; tiny *= 3.1f) samples.push_back(tiny);
  samples.push_back(86399.996f);
  for (float seconds : samples) {
    const std::string text = core::FormatSeconds(seconds, ".");
    SCOPED_TRACE(text);
    ASSERT_EQ(text.find_first_not_of("0123456789."), std::string::npos);
    std::string digits;
    for (char c : text) {
      if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
    }
    const size_t firstNonZero = digits.find_first_not_of('0');
    const size_t significant = firstNonZero == std::string::npos ? 0 : digits.size() - firstNonZero;
    ASSERT_LE(significant, 7u);
    const double parsed = std::strtod(text.c_str(), nullptr);
    ASSERT_LE(std::fabs(parsed - seconds), std::max(std::fabs(seconds) * 1e-6, 1e-7)) << seconds;
  }
}

TEST(ScanReport, FileNameAndContent) {
  EXPECT_EQ(core::ReportFileName(2004, 7, 15, "31366.55"), "2004-7-1531366.55.log");
  EXPECT_EQ(core::ReportFileName(2005, 1, 3, "45"), "2005-1-345.log");
  // A separator no file name can hold.
  EXPECT_EQ(core::ReportFileName(2004, 7, 15, "31366\\55"), "2004-7-1531366.55.log");
  EXPECT_EQ(core::ReportFileName(2004, 7, 15, "31366:/55"), "2004-7-1531366..55.log");
  EXPECT_EQ(core::ReportFileName(1999, 12, 31, "0,5"), "1999-12-310,5.log");

  struct Row {
    std::string reportText;
    std::string content;
  };
  const Row rows[] = {
      {"", "NO Adware found...\r\n\r\nTest Run : D at T\r\n\r\n"},
      {"\r\nAdware found >a\r\nAdware found >b\r\nAdware found >c",
       "\r\nAdware found >a\r\nAdware found >b\r\nAdware found >c\r\nTest Run : D at T\r\n\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reportText);
    EXPECT_EQ(core::ReportContent(row.reportText, "D", "T"), row.content);
  }
}

}  // namespace
