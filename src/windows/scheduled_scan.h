// Starts the scheduled scan when it is due: checked at start-up, which
// catches up a moment missed while the program was not running, and then
// once a minute from the tray window's timer.
#pragma once

namespace windows {

struct Program;

// How often the tray window asks, in milliseconds.
constexpr unsigned kScheduleCheckInterval = 60 * 1000;

void RunScheduledScanIfDue(Program& program);

}  // namespace windows
