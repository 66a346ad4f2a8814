// The stored scan schedule and its last run, read against the local clock.
#pragma once

#include <cstdint>

#include "core/scan_schedule.h"

namespace features {

core::ScanSchedule StoredScanSchedule();
// Stores the schedule; a changed one starts counting from now, so that a
// moment that has just passed is not run at once.
void SaveScanSchedule(const core::ScanSchedule& schedule);
// The present local time in minutes (core::MinuteNumber).
int64_t LocalMinuteNow();
// True when a scheduled moment came after the last scheduled run; a
// schedule that never ran counts from the beginning of time.
bool ScheduledScanDue();
// Notes that the scheduled scan due now has been started.
void RecordScheduledScan();

}  // namespace features
