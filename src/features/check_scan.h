// A scan for scripts ("/check"): the named folders, walked without any
// window, with the definitions, exclusions and rules of a scan from the
// window. It removes nothing, ends no program and changes no setting.
#pragma once

#include <string>

#include "core/command_line.h"

namespace features {

// The exit codes scripts test, as command-line scanners give them.
enum CheckExitCode { kCheckClean = 0, kCheckFound = 1, kCheckFailed = 2 };

struct CheckOutcome {
  CheckExitCode exitCode = kCheckFailed;
  // Why the check failed, for the user; empty when it did not.
  std::string message;
};

// Runs the check. With a report file named, the report (or, when nothing
// could be checked, the reason) goes there under the first free name; a
// report that cannot be written fails the check too, since the script
// asked for it.
CheckOutcome RunCheck(const core::CheckCommand& command);

}  // namespace features
