// The quarantine journal's lines, the records read back from damaged
// journals, which record a restore follows, and the numbered names a
// restore falls back on.
#include <gtest/gtest.h>

#include "core/quarantine_journal.h"
#include "core/removal_text.h"

namespace {

using core::FileIdentity;
using core::JournalRecord;

JournalRecord Identified(JournalRecord record, uint64_t size, uint64_t writeTime, uint64_t ticks) {
  record.identified = true;
  record.file = {size, writeTime};
  record.quarantinedTicks = ticks;
  return record;
}

TEST(QuarantineJournal, LinesReadBackAndDamagedLinesArePassedOver) {
  const JournalRecord first = {"foo.exe", "C:\\Temp\\foo.exe", "07/12/2026 11:00:00", "Adware > toolbar"};
  const JournalRecord second =
      Identified({"b\xC3\xA4r.dll", "E:\\Spiel\xC3\xA4\\b\xC3\xA4r.dll", "", "Tab\there"}, 5000000000, 42, 7);
  const std::string text = "junk without fields\r\n" + core::FormatJournalLine(first) +
                           "a\\b.exe\tC:\\a\\b.exe\t\tname with a folder\r\n"
                           "x.exe\tnofolder\t\tpath without a folder\r\n"
                           "lf.exe\tC:\\lf.exe\t\tLF alone, as an editor saves it\n"
                           "x.exe\tC:\\x.exe\t\tfive\tfields\r\n"
                           "x.exe\tC:\\x.exe\t\tsize\tnot\ta number\r\n" +
                           core::FormatJournalLine(second) + "y.exe\tC:\\y.exe\t\tcut off by a cra";
  const std::vector<JournalRecord> records = core::ParseJournal(text);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].quarantinedName, first.quarantinedName);
  EXPECT_EQ(records[0].originalPath, first.originalPath);
  EXPECT_EQ(records[0].quarantinedAt, first.quarantinedAt);
  EXPECT_EQ(records[0].description, first.description);
  EXPECT_FALSE(records[0].identified);
  EXPECT_EQ(records[1].originalPath, "C:\\lf.exe");
  EXPECT_EQ(records[2].originalPath, second.originalPath);
  EXPECT_EQ(records[2].description, "Tab here");
  EXPECT_TRUE(records[2].identified);
  EXPECT_EQ(records[2].file.size, 5000000000u);
  EXPECT_EQ(records[2].file.writeTime, 42u);
  EXPECT_EQ(records[2].quarantinedTicks, 7u);
}

TEST(QuarantineJournal, OnlyARecordThatMatchesItsFileIsFollowedAndOnlyItIsDropped) {
  const JournalRecord old = {"foo.exe", "C:\\Old\\foo.exe", "", "written by an earlier release"};
  const JournalRecord stale = Identified({"foo.exe", "C:\\Stale\\foo.exe", "", "its file deleted by hand"}, 10, 1, 1);
  const JournalRecord current = Identified({"FOO.EXE", "C:\\New\\FOO.EXE", "", "new"}, 20, 2, 2);
  const JournalRecord sameFileAgain = Identified(current, 20, 2, 3);
  const std::string text = core::FormatJournalLine(old) + "damaged\r\n" + core::FormatJournalLine(stale) +
                           "lf.exe\tC:\\lf.exe\t\tLF alone\n" + core::FormatJournalLine(current) +
                           core::FormatJournalLine(sameFileAgain) + "cut off by a cra";
  const std::vector<JournalRecord> records = core::ParseJournal(text);
  constexpr uint64_t kSecond = 10000000;
  const struct {
    FileIdentity file;
    const char* followed;  // null: none
  } rows[] = {
      {{20, 2}, "C:\\New\\FOO.EXE"},
      {{10, 1}, "C:\\Stale\\foo.exe"},
      // A file that no identified record describes falls back on the one
      // without an identity.
      {{30, 3}, "C:\\Old\\foo.exe"},
      // Copied through FAT or a zip: the time kept to 2 seconds, and read
      // back an hour off across a change of summer time.
      {{20, 2 + 2 * kSecond}, "C:\\New\\FOO.EXE"},
      {{20, 2 + 3600 * kSecond - kSecond}, "C:\\New\\FOO.EXE"},
      {{20, 2 + 3 * kSecond}, "C:\\Old\\foo.exe"},
  };
  for (const auto& row : rows) {
    const JournalRecord* found = core::FindJournalRecord(records, "Foo.exe", row.file);
    ASSERT_NE(found, nullptr) << row.followed;
    EXPECT_EQ(found->originalPath, row.followed);
  }
  const std::vector<JournalRecord> identifiedOnly = {stale};
  EXPECT_EQ(core::FindJournalRecord(identifiedOnly, "foo.exe", {30, 3}), nullptr);

  // Dropping a record takes its own line and no other of the name; what is
  // not understood stays as it was.
  EXPECT_EQ(core::JournalWithout(text, {sameFileAgain, old}),
            "damaged\r\n" + core::FormatJournalLine(stale) + "lf.exe\tC:\\lf.exe\t\tLF alone\n" +
                core::FormatJournalLine(current) + "cut off by a cra");
}

// The marks a file had come back with it; a restore under way is noted on a
// line that no release takes for a record, and goes again by itself.
TEST(QuarantineJournal, MarksAndRestoreNotesReadBackAndNotesAreNoRecords) {
  JournalRecord marked = Identified({"ro.dll", "C:\\ro.dll", "", "Adware"}, 5, 6, 7);
  marked.marks = 7;
  const core::RestoreNote note{"ro.dll", {5, 6}, "C:\\ro.dll.unfinished", "C:\\ro.dll"};
  const core::RestoreNote other{"ro.dll", {5, 6}, "C:\\ro (2).dll.unfinished", "C:\\ro (2).dll"};
  const std::string text = core::FormatJournalLine(marked) + core::FormatRestoreNote(note) +
                           core::FormatRestoreNote(other) + "restoring\tcut off";
  const std::vector<JournalRecord> records = core::ParseJournal(text);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].marks, 7u);
  EXPECT_TRUE(records[0].startupTraces.empty());
  EXPECT_EQ(core::ParseRestoreNotes(text), (std::vector<core::RestoreNote>{note, other}));
  EXPECT_EQ(core::JournalWithout(text, {marked}, {note}), core::FormatRestoreNote(other) + "restoring\tcut off");
}

TEST(QuarantineJournal, ARestoreGoesOnlyToAFullPathOutsideTheQuarantineFolder) {
  const char* quarantine = "C:\\Program Files\\Parawarden\\Quarantine";
  const struct {
    const char* path;
    bool followed;
  } rows[] = {
      {"C:\\Temp\\foo.exe", true},
      {"e:\\foo.exe", true},
      {"\\\\server\\share\\foo.exe", true},
      {"C:\\Program Files\\Parawarden\\Quarantine2\\foo.exe", true},
      {"Temp\\foo.exe", false},
      {".\\foo.exe", false},
      {"\\Temp\\foo.exe", false},
      {"C:Temp\\foo.exe", false},
      {"\\\\?\\C:\\Temp\\foo.exe", false},
      {"\\\\.\\C:\\Temp\\foo.exe", false},
      {"\\\\server\\foo.exe", false},
      {"C:\\Temp\\..\\foo.exe", false},
      {"C:\\Temp\\foo.exe:stream", false},
      {"c:\\program files\\parawarden\\quarantine\\foo.exe", false},
      {"C:\\Program Files\\Parawarden\\Quarantine\\sub\\foo.exe", false},
  };
  for (const auto& row : rows) EXPECT_EQ(core::IsRestorablePath(row.path, quarantine), row.followed) << row.path;
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
