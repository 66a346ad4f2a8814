// The quarantine journal's lines, the records read back from damaged
// journals, and the numbered names a restore falls back on.
#include <gtest/gtest.h>

#include "core/quarantine_journal.h"
#include "core/removal_text.h"

namespace {

using core::JournalRecord;

TEST(QuarantineJournal, LinesReadBackAndDamagedLinesArePassedOver) {
  const JournalRecord first = {"foo.exe", "C:\\Temp\\foo.exe", "07/12/2026 11:00:00", "Adware > toolbar"};
  const JournalRecord second = {"b\xC3\xA4r.dll", "E:\\Spiel\xC3\xA4\\b\xC3\xA4r.dll", "", "Tab\there"};
  const std::string text = "junk without fields\r\n" + core::FormatJournalLine(first) +
                           "a\\b.exe\tC:\\a\\b.exe\t\tname with a folder\r\n"
                           "x.exe\tnofolder\t\tpath without a folder\r\n"
                           "x.exe\tC:\\x.exe\t\tno CR\n"
                           "x.exe\tC:\\x.exe\tfive\tfields\there\r\n" +
                           core::FormatJournalLine(second) + "y.exe\tC:\\y.exe\t\tcut off by a cra";
  const std::vector<JournalRecord> records = core::ParseJournal(text);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].quarantinedName, first.quarantinedName);
  EXPECT_EQ(records[0].originalPath, first.originalPath);
  EXPECT_EQ(records[0].quarantinedAt, first.quarantinedAt);
  EXPECT_EQ(records[0].description, first.description);
  EXPECT_EQ(records[1].originalPath, second.originalPath);
  EXPECT_EQ(records[1].description, "Tab here");
}

TEST(QuarantineJournal, TheLatestRecordOfANameCountsAndRemovalDropsEveryOne) {
  const std::string text = core::FormatJournalLine({"foo.exe", "C:\\Old\\foo.exe", "", "old"}) +
                           core::FormatJournalLine({"bar.exe", "C:\\bar.exe", "", "kept"}) + "damaged\r\n" +
                           core::FormatJournalLine({"FOO.EXE", "C:\\New\\FOO.EXE", "", "new"});
  const std::vector<JournalRecord> records = core::ParseJournal(text);
  const JournalRecord* found = core::FindJournalRecord(records, "Foo.exe");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->description, "new");
  EXPECT_EQ(core::FindJournalRecord(records, "foo"), nullptr);
  EXPECT_EQ(core::JournalWithout(text, {"foo.exe"}),
            core::FormatJournalLine({"bar.exe", "C:\\bar.exe", "", "kept"}));
}

TEST(QuarantineJournal, NumberedPaths) {
  const struct {
    const char* path;
    const char* numbered;
  } rows[] = {
      {"C:\\a\\dup.dll", "C:\\a\\dup (2).dll"},
      {"C:\\a\\x.tar.gz", "C:\\a\\x.tar (2).gz"},
      {"C:\\a.b\\tracker", "C:\\a.b\\tracker (2)"},
      {"C:\\a\\.hidden", "C:\\a\\.hidden (2)"},
  };
  for (const auto& row : rows) EXPECT_EQ(core::NumberedPath(row.path, 2), row.numbered) << row.path;
}

}  // namespace
