// Running processes: listing their executables and terminating one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct RunningProcess {
  uint32_t id;
  std::string executablePath;
};

// The processes whose executable path can be read, in the order the system
// lists them. False when processes cannot be listed at all (the 95/98
// family has no process-status library).
bool ListRunningProcesses(std::vector<RunningProcess>& processes);

// Terminates a process with the given exit code. On the NT family the debug
// privilege is switched on for the span of this call only, and without it
// no termination is attempted.
bool KillProcess(uint32_t processId, uint32_t exitCode);

uint32_t CurrentProcessId();

}  // namespace platform
