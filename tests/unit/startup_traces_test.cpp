// Which log-on commands start a file, and the traces as a journal field.
#include "core/startup_traces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <string>
#include <vector>

#include "core/quarantine_journal.h"

namespace {

using core::StartupTrace;

TEST(StartupTraces, CommandStartsExactlyTheFile) {
  const std::string file = "C:\\Program Files\\Ad Ware\\ad.exe";
  struct Row {
    const char* command;
    bool starts;
  };
  const Row rows[] = {
      {"C:\\Program Files\\Ad Ware\\ad.exe", true},
      {"c:\\program files\\ad ware\\AD.EXE", true},
      {"\"C:\\Program Files\\Ad Ware\\ad.exe\"", true},
      {"\"C:\\Program Files\\Ad Ware\\ad.exe\" /tray -x", true},
      {"  \"c:\\program files\\ad ware\\ad.exe\"/min", true},
      {"C:\\Program Files\\Ad Ware\\ad.exe /background", true},
      {"C:\\Program Files\\Ad Ware\\ad.exe\t-s", true},
      {"\"C:\\Program Files\\Ad Ware\\ad.exe", true},  // unclosed quote
      {"C:\\Program Files\\Ad Ware\\\\ad.exe", true},
      {"C:\\Program Files\\Ad Ware\\ad.exe.bak", false},
      {"C:\\Program Files\\Ad Ware\\ad.exe2 /x", false},
      {"\"C:\\Program Files\\Ad Ware\\ad.exe2\"", false},
      {"\"C:\\Program Files\\Ad Ware\\ad\".exe", false},
      {"D:\\Program Files\\Ad Ware\\ad.exe", false},
      {"rundll32.exe \"C:\\Program Files\\Ad Ware\\ad.exe\"", false},
      {"C:\\Other\\keep.exe C:\\Program Files\\Ad Ware\\ad.exe", false},
      {"ad.exe", false},
      {"", false},
      {"\"\"", false},
  };
  for (const Row& row : rows) EXPECT_EQ(core::CommandStartsFile(row.command, file, core::FoldAscii), row.starts) << row.command;
  // What is made long before a second look: short names hold no blank.
  const std::pair<const char*, const char*> programs[] = {
      {"C:\\PROGRA~1\\ADWARE~1\\ad.exe /tray", "C:\\PROGRA~1\\ADWARE~1\\ad.exe"},
      {" \"C:\\A B\\ad.exe\"/min", "C:\\A B\\ad.exe"},
      {"\t\"C:\\x.exe", "C:\\x.exe"},
      {"", ""},
  };
  for (const auto& [command, program] : programs) {
    EXPECT_EQ(core::CommandProgram(command), program) << command;
  }
}

TEST(StartupTraces, DescribedAsAPersonReadsThem) {
  const struct {
    StartupTrace trace;
    const char* described;
  } rows[] = {
      {{StartupTrace::Kind::RunValue, "HKCU\\Software\\Run", "Ad", 1, "ad.exe"}, "HKCU\\Software\\Run\\Ad"},
      {{StartupTrace::Kind::RunValue, "HKLM64\\Software\\Run", "Ad", 1, "ad.exe"},
       "HKLM\\Software\\Run\\Ad (64-bit)"},
      {{StartupTrace::Kind::Shortcut, "C:\\Startup\\ad.lnk", "", 0, "L"}, "C:\\Startup\\ad.lnk"},
  };
  for (const auto& row : rows) EXPECT_EQ(core::DescribeStartupTrace(row.trace), row.described);
}

TEST(StartupTraces, TracesReadBackFromTheirJournalLine) {
  const std::string shortcutBytes("L\0\0\0\x01\x14\x02\0\t\r\n%;|\xFF\0", 16);
  const std::vector<StartupTrace> traces = {
      {StartupTrace::Kind::RunValue, "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Ad|Ware; 100%", 1,
       "\"C:\\Ad\\ad.exe\"\t/x\r\n"},
      {StartupTrace::Kind::RunValue, "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "", 2,
       "%ProgramFiles%\\Ad\\ad.exe"},
      {StartupTrace::Kind::Shortcut, "C:\\Users\\u\\Start Menu\\Programs\\Startup\\Z\xC3\xBCrich.lnk", "", 0,
       shortcutBytes},
  };
  core::JournalRecord record = {"ad.exe", "C:\\Ad\\ad.exe", "", "Adware"};
  record.identified = true;
  record.startupTraces = traces;
  const std::string line = core::FormatJournalLine(record);
  EXPECT_EQ(line.find_first_of("\r\n"), line.size() - 2);
  // The same line as an earlier release reads it: seven fields and more.
  EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 7);
  const std::vector<core::JournalRecord> read = core::ParseJournal(line + "ad.exe\tC:\\Ad\\ad.exe\t\t\t1\t2\t3\tR|x\r\n");
  ASSERT_EQ(read.size(), 1u) << "a damaged traces field spoils its line";
  EXPECT_TRUE(read[0].startupTraces == traces);
  EXPECT_EQ(core::JournalWithout(line, read), "");
}

}  // namespace
