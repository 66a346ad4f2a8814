#include "core/scan_schedule.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

namespace {

using core::CalendarMinute;
using core::ScanFrequency;
using core::ScanSchedule;

int64_t At(int year, int month, int day, int hour, int minute) {
  return core::MinuteNumber({year, month, day, hour, minute});
}

TEST(ScanSchedule, MinuteNumbersAndWeekdays) {
  EXPECT_EQ(At(1970, 1, 1, 0, 0), 0);
  EXPECT_EQ(At(1970, 1, 2, 1, 1), 24 * 60 + 61);
  EXPECT_EQ(At(1969, 12, 31, 23, 59), -1);
  EXPECT_EQ(At(2024, 3, 1, 0, 0) - At(2024, 2, 28, 0, 0), 2 * 24 * 60);  // leap day
  EXPECT_EQ(At(2100, 3, 1, 0, 0) - At(2100, 2, 28, 0, 0), 24 * 60);      // no leap day
  const std::pair<int64_t, int> rows[] = {
      {At(1970, 1, 1, 12, 0), 4},  {At(1969, 12, 28, 0, 0), 0}, {At(2026, 12, 7, 0, 0), 1},
      {At(2026, 12, 6, 23, 59), 0}, {At(2000, 1, 1, 0, 0), 6},  {At(1601, 1, 1, 0, 0), 1},
  };
  for (const auto& [minute, weekday] : rows) EXPECT_EQ(core::WeekdayOf(minute), weekday) << minute;
}

TEST(ScanSchedule, StoredMinuteText) {
  EXPECT_EQ(core::CalendarMinuteText({2026, 12, 7, 9, 5}), "2026-12-07 09:05");
  const std::optional<CalendarMinute> read = core::ParseCalendarMinute("2024-02-29 23:59");
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(core::MinuteNumber(*read), At(2024, 2, 29, 23, 59));
  for (const char* bad : {"", "2023-02-29 10:00", "2024-13-01 10:00", "2024-01-01 24:00", "2024-01-01 10:60",
                          "2024-01-01T10:00", "2024-1-01 10:00", "2024-01-01 10:00 ", "20x4-01-01 10:00"}) {
    EXPECT_FALSE(core::ParseCalendarMinute(bad).has_value()) << bad;
  }
}

TEST(ScanSchedule, LatestMomentAndDue) {
  const ScanSchedule daily9 = {ScanFrequency::Daily, 0, 9 * 60, true};
  // Monday 2026-12-07; the weekly scan is on Wednesdays at 09:00.
  const ScanSchedule wednesday9 = {ScanFrequency::Weekly, 3, 9 * 60, false};
  struct Row {
    ScanSchedule schedule;
    int64_t now;
    std::optional<int64_t> latest;
  };
  const Row rows[] = {
      {daily9, At(2026, 12, 7, 9, 0), At(2026, 12, 7, 9, 0)},
      {daily9, At(2026, 12, 7, 8, 59), At(2026, 12, 6, 9, 0)},
      {daily9, At(2027, 1, 1, 0, 0), At(2026, 12, 31, 9, 0)},
      {wednesday9, At(2026, 12, 7, 12, 0), At(2026, 12, 2, 9, 0)},
      {wednesday9, At(2026, 12, 9, 8, 59), At(2026, 12, 2, 9, 0)},
      {wednesday9, At(2026, 12, 9, 9, 0), At(2026, 12, 9, 9, 0)},
      {wednesday9, At(2026, 12, 13, 23, 59), At(2026, 12, 9, 9, 0)},
      {{ScanFrequency::Never, 3, 540, true}, At(2026, 12, 9, 9, 0), std::nullopt},
  };
  for (const Row& row : rows) EXPECT_EQ(core::LatestScheduledMinute(row.schedule, row.now), row.latest) << row.now;

  // A moment missed while the program was not running is due; one already
  // run is not, nor is one still to come. A last run later than now, from a
  // clock since set back, is not made again; one more than a day ahead
  // counts as made now and holds off nothing after.
  const int64_t now = At(2026, 12, 7, 10, 0);
  EXPECT_TRUE(core::ScheduledScanDue(daily9, At(2026, 12, 5, 9, 0), now));
  EXPECT_TRUE(core::ScheduledScanDue(daily9, At(2026, 12, 7, 8, 59), now));
  EXPECT_FALSE(core::ScheduledScanDue(daily9, At(2026, 12, 7, 9, 0), now));
  EXPECT_FALSE(core::ScheduledScanDue(daily9, At(2026, 12, 7, 9, 30), now));
  EXPECT_FALSE(core::ScheduledScanDue(wednesday9, At(2026, 12, 2, 9, 0), now));
  EXPECT_FALSE(core::ScheduledScanDue(daily9, At(2026, 12, 7, 10, 30), now));
  EXPECT_EQ(core::LastRunAsOfNow(At(2026, 12, 8, 9, 0), now), At(2026, 12, 8, 9, 0));
  EXPECT_EQ(core::LastRunAsOfNow(At(2030, 1, 1, 9, 0), now), now);
  // Never run at all.
  EXPECT_EQ(core::LastRunAsOfNow(std::numeric_limits<int64_t>::min(), now), std::numeric_limits<int64_t>::min());
  EXPECT_TRUE(core::ScheduledScanDue(daily9, now, At(2026, 12, 8, 9, 0)));
}

TEST(ScanSchedule, StoredTexts) {
  struct Row {
    const char *frequency, *weekday, *minute, *full;
    ScanFrequency wantFrequency;
    int wantWeekday, wantMinute;
    bool wantFull;
  };
  const Row rows[] = {
      {"", "", "", "", ScanFrequency::Never, 1, 720, true},
      {"1", "0", "0", "0", ScanFrequency::Daily, 0, 0, false},
      {"2", "6", "1439", "1", ScanFrequency::Weekly, 6, 1439, true},
      {"3", "7", "1440", "x", ScanFrequency::Never, 1, 720, false},
      {"1.5", "-1", " 30", "1", ScanFrequency::Never, 1, 720, true},
  };
  for (const Row& row : rows) {
    const ScanSchedule read = core::ReadScanSchedule(row.frequency, row.weekday, row.minute, row.full);
    EXPECT_EQ(read.frequency, row.wantFrequency) << row.frequency;
    EXPECT_EQ(read.weekday, row.wantWeekday) << row.weekday;
    EXPECT_EQ(read.minuteOfDay, row.wantMinute) << row.minute;
    EXPECT_EQ(read.fullScan, row.wantFull) << row.full;
  }
}

}  // namespace
