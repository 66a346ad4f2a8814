#include "features/scheduled_scan.h"

#include <limits>
#include <string>

#include "core/setting_values.h"
#include "features/settings.h"
#include "platform/clock.h"

namespace features {
namespace {

core::CalendarMinute LocalCalendarMinute() {
  const platform::LocalNow now = platform::Now();
  const int minuteOfDay = static_cast<int>(now.secondsSinceMidnight) / 60;
  return {now.year, now.month, now.day, minuteOfDay / 60, minuteOfDay % 60};
}

// The last run as this process recorded it: where the stored one cannot be
// written (a settings key the user may only read), the scan would
// otherwise start again every minute.
int64_t recordedThisSession = std::numeric_limits<int64_t>::min();

int64_t LastScheduledRun() {
  const std::optional<core::CalendarMinute> last =
      core::ParseCalendarMinute(GetAppSetting(core::kLastScheduledScan, ""));
  const int64_t stored = last ? core::MinuteNumber(*last) : std::numeric_limits<int64_t>::min();
  return stored > recordedThisSession ? stored : recordedThisSession;
}

}  // namespace

core::ScanSchedule StoredScanSchedule() {
  return core::ReadScanSchedule(GetAppSetting(core::kScheduleFrequency, ""), GetAppSetting(core::kScheduleWeekday, ""),
                                GetAppSetting(core::kScheduleMinute, ""), GetAppSetting(core::kScheduleFullScan, ""));
}

void SaveScanSchedule(const core::ScanSchedule& schedule) {
  const core::ScanSchedule stored = StoredScanSchedule();
  SaveAppSetting(core::kScheduleFrequency, std::to_string(static_cast<int>(schedule.frequency)));
  SaveAppSetting(core::kScheduleWeekday, std::to_string(schedule.weekday));
  SaveAppSetting(core::kScheduleMinute, std::to_string(schedule.minuteOfDay));
  SaveAppSetting(core::kScheduleFullScan, schedule.fullScan ? "1" : "0");
  if (stored.frequency != schedule.frequency || stored.weekday != schedule.weekday ||
      stored.minuteOfDay != schedule.minuteOfDay) {
    RecordScheduledScan();
  }
}

int64_t LocalMinuteNow() { return core::MinuteNumber(LocalCalendarMinute()); }

bool ScheduledScanDue() {
  const int64_t now = LocalMinuteNow();
  const int64_t stored = LastScheduledRun();
  const int64_t lastRun = core::LastRunAsOfNow(stored, now);
  if (lastRun != stored) RecordScheduledScan();
  return core::ScheduledScanDue(StoredScanSchedule(), lastRun, now);
}

void RecordScheduledScan() {
  const core::CalendarMinute now = LocalCalendarMinute();
  recordedThisSession = core::MinuteNumber(now);
  SaveAppSetting(core::kLastScheduledScan, core::CalendarMinuteText(now));
}

}  // namespace features
