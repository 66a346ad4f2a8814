#include "core/scan_schedule.h"

#include <cstdio>

#include "core/setting_values.h"

namespace core {
namespace {

constexpr int64_t kMinutesPerDay = 24 * 60;

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

int64_t FloorDiv(int64_t value, int64_t by) { return value / by - (value % by < 0 ? 1 : 0); }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// The digits of a whole number in [low, high], and nothing else.
std::optional<int> WholeNumberIn(std::string_view text, int low, int high) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  int number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  if (number < low || number > high) return std::nullopt;
  return number;
}

}  // namespace

int64_t MinuteNumber(const CalendarMinute& when) {
  return DaysFromCivil(when.year, when.month, when.day) * kMinutesPerDay + when.hour * 60 + when.minute;
}

int WeekdayOf(int64_t minuteNumber) {
  // 1970-01-01 was a Thursday.
  const int64_t days = FloorDiv(minuteNumber, kMinutesPerDay);
  return static_cast<int>(((days + 4) % 7 + 7) % 7);
}

std::string CalendarMinuteText(const CalendarMinute& when) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", when.year, when.month, when.day, when.hour,
                when.minute);
  return text;
}

std::optional<CalendarMinute> ParseCalendarMinute(std::string_view text) {
  if (text.size() != 16 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':') return std::nullopt;
  const auto field = [&](size_t at, size_t length) {
    int value = 0;
    for (size_t i = at; i < at + length; ++i) {
      if (text[i] < '0' || text[i] > '9') return -1;
      value = value * 10 + (text[i] - '0');
    }
    return value;
  };
  const CalendarMinute when = {field(0, 4), field(5, 2), field(8, 2), field(11, 2), field(14, 2)};
  if (when.year < 1 || when.month < 1 || when.month > 12 || when.day < 1 ||
      when.day > DaysInMonth(when.year, when.month) || when.hour < 0 || when.hour > 23 || when.minute < 0 ||
      when.minute > 59) {
    return std::nullopt;
  }
  return when;
}

std::optional<int64_t> LatestScheduledMinute(const ScanSchedule& schedule, int64_t now) {
  const int64_t today = FloorDiv(now, kMinutesPerDay) * kMinutesPerDay;
  switch (schedule.frequency) {
    case ScanFrequency::Never:
      return std::nullopt;
    case ScanFrequency::Daily: {
      const int64_t moment = today + schedule.minuteOfDay;
      return moment <= now ? moment : moment - kMinutesPerDay;
    }
    case ScanFrequency::Weekly: {
      const int daysBack = (WeekdayOf(now) - schedule.weekday + 7) % 7;
      const int64_t moment = today - daysBack * kMinutesPerDay + schedule.minuteOfDay;
      return moment <= now ? moment : moment - 7 * kMinutesPerDay;
    }
  }
  return std::nullopt;
}

bool ScheduledScanDue(const ScanSchedule& schedule, int64_t lastRun, int64_t now) {
  const std::optional<int64_t> latest = LatestScheduledMinute(schedule, now);
  return latest.has_value() && *latest > lastRun;
}

int64_t LastRunAsOfNow(int64_t lastRun, int64_t now) {
  return lastRun > now && lastRun - now > kMinutesPerDay ? now : lastRun;
}

ScanSchedule ReadScanSchedule(std::string_view frequency, std::string_view weekday, std::string_view minuteOfDay,
                              std::string_view fullScan) {
  ScanSchedule schedule;
  schedule.frequency = static_cast<ScanFrequency>(WholeNumberIn(frequency, 0, 2).value_or(0));
  schedule.weekday = WholeNumberIn(weekday, 0, 6).value_or(schedule.weekday);
  schedule.minuteOfDay = WholeNumberIn(minuteOfDay, 0, 1439).value_or(schedule.minuteOfDay);
  schedule.fullScan = fullScan.empty() || ReadsAsOn(fullScan);
  return schedule;
}

}  // namespace core
