// The log-on traces of a quarantined file: the Run and RunOnce values that
// start it and the Startup folder shortcuts that point at it. They go with
// the file, so the next log-on shows no "cannot find" error, and come back
// with it on restore.
#pragma once

#include <string>
#include <vector>

#include "core/startup_traces.h"

namespace features {

// Removes the traces that start exactly this file (machine ones only where
// this user may change them) and gives those that were removed, as they
// were. Values and shortcuts that name another file are never touched.
std::vector<core::StartupTrace> RemoveStartupTraces(const std::string& filePath);
// Puts the traces back as they were; a shortcut is never written over a
// file that has taken its place. Gives those that could not be put back.
std::vector<core::StartupTrace> RestoreStartupTraces(const std::vector<core::StartupTrace>& traces);

}  // namespace features
