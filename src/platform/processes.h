// Running processes: listing their executables and terminating one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct RunningProcess {
  uint32_t id;
  std::string executablePath;
  // When the process began (100 ns ticks), which tells it from a later one
  // given the same id once it has ended; 0 when the system would not say.
  uint64_t started = 0;
};

// The processes whose executable path can be read, in the order the system
// lists them. False when processes cannot be listed at all (the 95/98
// family has no process-status library).
bool ListRunningProcesses(std::vector<RunningProcess>& processes);

// Terminates the process listed with the given exit code. One that has
// ended since is not followed to whatever process took its id later: a
// notice shown between the listing and this call may wait for minutes. On
// the NT family the debug privilege is switched on for the span of this
// call only, and without it no termination is attempted.
bool KillProcess(const RunningProcess& process, uint32_t exitCode);

uint32_t CurrentProcessId();

}  // namespace platform
