// The log-on traces of a quarantined file: the Run and RunOnce values that
// start it and the Startup folder shortcuts that point at it. They go with
// the file, so the next log-on shows no "cannot find" error, and come back
// with it on restore.
#pragma once

#include <string>
#include <vector>

#include "core/startup_traces.h"
#include "platform/startup_entries.h"

namespace features {

// What starts at log-on, listed once for a whole batch of removals: one
// listing takes milliseconds (the Startup folders' shortcuts are read
// through the shell), looking through it for one file next to nothing.
struct LogOnEntries {
  std::vector<platform::LogOnValue> values;
  std::vector<platform::StartupShortcut> shortcuts;
};
LogOnEntries ListLogOnEntries();

// The traces among `entries` that start exactly this file, as they are
// (machine ones only where this user may change them). Values and shortcuts
// that name another file are never among them, nor a shortcut gone since
// the listing.
std::vector<core::StartupTrace> FindStartupTraces(const std::string& filePath, const LogOnEntries& entries);
// Removes the traces found; one that cannot be removed stays, and counts as
// put back when its file comes back.
void RemoveStartupTraces(const std::vector<core::StartupTrace>& traces);
// The traces that start the file at `filePath`: a Run value whose command
// starts it, a shortcut whose bytes make a shortcut to it. A journal any
// user may edit must not plant other start-up entries through a restore.
std::vector<core::StartupTrace> TracesStarting(const std::vector<core::StartupTrace>& traces,
                                               const std::string& filePath);
// Puts the traces back as they were. Nothing is written over a value or a
// file that has since taken a trace's place; a trace still in place counts
// as put back. Gives those that could not be put back.
std::vector<core::StartupTrace> RestoreStartupTraces(const std::vector<core::StartupTrace>& traces);

}  // namespace features
