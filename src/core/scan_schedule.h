// When a scheduled scan falls due: local calendar minutes, the most recent
// scheduled moment, and the stored texts of a schedule. A scan is due when
// a scheduled moment came after the last scheduled run, so a moment missed
// while the program was not running is caught up at the next start.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

enum class ScanFrequency { Never = 0, Daily = 1, Weekly = 2 };

struct ScanSchedule {
  ScanFrequency frequency = ScanFrequency::Never;
  int weekday = 1;       // 0 Sunday .. 6 Saturday; used by a weekly schedule
  int minuteOfDay = 720;  // local time, 0 .. 1439
  bool fullScan = true;
};

// A local date and time to the minute.
struct CalendarMinute {
  int year, month, day, hour, minute;
};

// Minutes since 1970-01-01 00:00 of the same (local) clock; earlier dates
// are negative.
int64_t MinuteNumber(const CalendarMinute& when);
// 0 Sunday .. 6 Saturday.
int WeekdayOf(int64_t minuteNumber);

// "YYYY-MM-DD HH:MM", the stored form of the last scheduled run.
std::string CalendarMinuteText(const CalendarMinute& when);
std::optional<CalendarMinute> ParseCalendarMinute(std::string_view text);

// The latest scheduled moment at or before `now`; none for a schedule
// that never runs.
std::optional<int64_t> LatestScheduledMinute(const ScanSchedule& schedule, int64_t now);
bool ScheduledScanDue(const ScanSchedule& schedule, int64_t lastRun, int64_t now);
// The last run as it counts at `now`. One stored up to a day ahead came from
// the clock going back (summer time's end, a time sync) and stands, so that
// the scan is not made twice; one further ahead came from a clock set ahead
// and since put right, and counts as made now, or it would hold off every
// scheduled scan until that date.
int64_t LastRunAsOfNow(int64_t lastRun, int64_t now);

// The schedule from its stored texts (frequency, weekday, minute of the day,
// full scan); a text that is missing or out of range gives the default.
ScanSchedule ReadScanSchedule(std::string_view frequency, std::string_view weekday, std::string_view minuteOfDay,
                              std::string_view fullScan);

}  // namespace core
