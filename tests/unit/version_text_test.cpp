// Definitions version numbers and the check on a downloaded definitions file.
#include <gtest/gtest.h>

#include "core/version_text.h"

namespace {

TEST(UpdateVersions, ComparedWithAPointAsTheDecimalSeparatorAlways) {
  struct Row {
    const char* refDatStart;
    const char* versionFile;
    core::Comparison expected;
  };
  const Row rows[] = {
      {"Ver1.4\r\nfoo", "1.5", core::Comparison::Newer},
      {"Ver1.5\r\nfoo", "1.5", core::Comparison::UpToDate},
      {"Ver1.6\r\nfoo", "1.5\r\n", core::Comparison::UpToDate},
      {"Ver1.9", "2.0,more text\r\nsecond line", core::Comparison::Newer},
      {"Ver2.0", "  \"2.0\"", core::Comparison::UpToDate},
      // Only the first eight characters count: 1.234.
      {"Ver1.2345678", "1.235", core::Comparison::Newer},
      {"Ver1.2345678", "1.234", core::Comparison::UpToDate},
      {"Ver1.45 Orvane definitions", "1.5", core::Comparison::Newer},
      {"Ver10", "9.99", core::Comparison::UpToDate},
      // Neither side may be read as something it is not.
      {"Ver1,4", "1.5", core::Comparison::Unknown},
      // A comma ends the version file's first field.
      {"Ver1.4", "1,5", core::Comparison::UpToDate},
      {"Ver1.4", "", core::Comparison::Unknown},
      {"Ver1.4", "<html>", core::Comparison::Unknown},
      {"Version one", "1.5", core::Comparison::Unknown},
      {"", "1.5", core::Comparison::Unknown},
      {"VerVer1.", "1.5", core::Comparison::Newer},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(core::Compare(core::LocalVersionText(row.refDatStart), core::ServerVersionText(row.versionFile)),
              row.expected)
        << row.refDatStart << " / " << row.versionFile;
  }
}

TEST(UpdateDefinitions, OnlyACompleteLookingFileMayReplaceTheLocalOne) {
  struct Row {
    const char* text;
    bool accepted;
    uint64_t maxRecords = 100;
  };
  const Row rows[] = {
      {"Ver1.50 from the server\r\nnew.exe|Adware\r\n", true},
      {"Ver2\r\nheader only then\r\nx.dll|y", true},
      {"", false},
      {"Ver1.50\r\n", false},
      {"Ver1.50\r\nno entries here\r\n", false},
      {"<!DOCTYPE html>\r\n<html>a|b</html>", false},
      {"Version 2\r\nfoo.exe|A", false},
      {"ver1.5\r\nfoo.exe|A", false},
      // Three records at most: empty items from a run of commas count too.
      {"Ver2\r\na.exe|A\r\nb.exe|B", true, 3},
      {"Ver2\r\na.exe|A,,", false, 3},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(core::LooksLikeDefinitions(row.text, row.maxRecords), row.accepted) << row.text;
  }
}

TEST(UpdateServerAddress, TrailingSlashesAndBlanksAreDropped) {
  EXPECT_EQ(core::BaseAddress("http://127.0.0.1:8080/"), "http://127.0.0.1:8080");
  EXPECT_EQ(core::BaseAddress(" https://updates.example//  "), "https://updates.example");
  EXPECT_EQ(core::BaseAddress(""), "");
}

}  // namespace
