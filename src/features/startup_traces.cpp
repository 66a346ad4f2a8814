#include "features/startup_traces.h"

#include "features/disk_folders.h"
#include "platform/atomic_file.h"
#include "platform/files.h"

namespace features {
namespace {

// A shortcut file is a few kilobytes; anything far larger is no shortcut
// to carry in a journal line.
constexpr uint64_t kLargestShortcut = 64 * 1024;

// A shortcut comes back only as a shortcut file of a Startup folder: the
// journal it comes from may have been damaged or altered, and the bytes it
// holds are written wherever the path leads.
bool IsStartupShortcutPath(const std::string& path) {
  const size_t separator = path.rfind('\\');
  if (separator == std::string::npos) return false;
  const std::string name = path.substr(separator + 1);
  constexpr std::string_view kExtension = ".lnk";
  if (name.size() <= kExtension.size() || name.find_first_of("/:") != std::string::npos ||
      FoldFileName(name.substr(name.size() - kExtension.size())) != kExtension) {
    return false;
  }
  const std::string folder = FoldFileName(path.substr(0, separator));
  for (const std::string& startup : platform::StartupFolders()) {
    if (FoldFileName(startup) == folder) return true;
  }
  return false;
}

// Whether the command starts the file at `longPath` (a long path), also
// when it names the file or a folder above it by a short name.
bool StartsFile(const std::string& command, const std::string& longPath) {
  if (core::CommandStartsFile(command, longPath, FoldFileName)) return true;
  const std::string program(core::CommandProgram(command));
  const std::string longProgram = platform::LongPathOf(program);
  return longProgram != program && core::CommandStartsFile("\"" + longProgram + "\"", longPath, FoldFileName);
}

}  // namespace

std::vector<core::StartupTrace> TracesStarting(const std::vector<core::StartupTrace>& traces,
                                               const std::string& filePath) {
  std::vector<core::StartupTrace> starting;
  for (const core::StartupTrace& trace : traces) {
    std::string command;
    if (trace.kind == core::StartupTrace::Kind::RunValue) {
      command = platform::CommandOfValue(trace.valueType, trace.data);
    } else {
      // Read as the shell reads it, from a copy the next start clears away
      // should the program stop meanwhile.
      const std::string probe = platform::AppPath("Quarantine\\startup shortcut.lnk.unfinished");
      std::string error;
      if (platform::WriteFileAtomically(probe, trace.data, error)) {
        const std::string target = platform::ShortcutFileTarget(probe);
        if (!target.empty()) command = "\"" + target + "\"";
      }
      platform::DeleteEvenIfReadOnly(probe);
    }
    if (!command.empty() && core::CommandStartsFile(command, filePath, FoldFileName)) starting.push_back(trace);
  }
  return starting;
}

LogOnEntries ListLogOnEntries() { return {platform::ListLogOnValues(), platform::ListStartupShortcuts()}; }

std::vector<core::StartupTrace> FindStartupTraces(const std::string& filePath, const LogOnEntries& entries) {
  std::vector<core::StartupTrace> found;
  const std::string longPath = platform::LongPathOf(filePath);
  for (const platform::LogOnValue& value : entries.values) {
    if (!core::CommandStartsFile(value.command, filePath, FoldFileName) && !StartsFile(value.command, longPath)) {
      continue;
    }
    found.push_back({core::StartupTrace::Kind::RunValue, value.key, value.name, value.type, value.data});
  }
  for (const platform::StartupShortcut& shortcut : entries.shortcuts) {
    // The target is a plain path: CommandStartsFile compares it whole.
    if (shortcut.target.empty() || (!core::CommandStartsFile("\"" + shortcut.target + "\"", filePath, FoldFileName) &&
                                    !StartsFile("\"" + shortcut.target + "\"", longPath))) {
      continue;
    }
    core::StartupTrace trace{core::StartupTrace::Kind::Shortcut, shortcut.path, "", 0, ""};
    if (platform::ReadFileBytes(shortcut.path, trace.data, kLargestShortcut) != platform::ReadResult::Ok) continue;
    found.push_back(std::move(trace));
  }
  return found;
}

void RemoveStartupTraces(const std::vector<core::StartupTrace>& traces) {
  for (const core::StartupTrace& trace : traces) {
    if (trace.kind == core::StartupTrace::Kind::RunValue) {
      platform::DeleteLogOnValue(trace.where, trace.name);
    } else {
      platform::DeleteEvenIfReadOnly(trace.where);
    }
  }
}

std::vector<core::StartupTrace> RestoreStartupTraces(const std::vector<core::StartupTrace>& traces) {
  std::vector<core::StartupTrace> failed;
  for (const core::StartupTrace& trace : traces) {
    bool restored = false;
    if (trace.kind == core::StartupTrace::Kind::RunValue) {
      restored = platform::WriteLogOnValue(trace.where, trace.name, trace.valueType, trace.data);
    } else if (!IsStartupShortcutPath(trace.where)) {
      restored = false;
    } else if (!platform::PathExists(trace.where)) {
      std::string error;
      platform::CreateFolder(trace.where.substr(0, trace.where.rfind('\\')));
      restored = platform::WriteFileAtomically(trace.where, trace.data, error);
    } else {
      // Never written over; the very shortcut, left in place, is back already.
      std::string present;
      restored = platform::ReadFileBytes(trace.where, present, kLargestShortcut) == platform::ReadResult::Ok &&
                 present == trace.data;
    }
    if (!restored) failed.push_back(trace);
  }
  return failed;
}

}  // namespace features
