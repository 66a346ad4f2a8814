#include "features/process_pass.h"

#include <string>

#include "core/removal_text.h"
#include "features/disk_folders.h"
#include "features/exclusions.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/system.h"

namespace features {
namespace {

void EndNamedProcesses(const core::DefinitionsIndex& index, const core::PathSet& kept,
                       const std::function<void()>& beforeEachTermination) {
  std::vector<platform::RunningProcess> processes;
  if (!platform::ListRunningProcesses(processes)) return;
  const uint32_t self = platform::CurrentProcessId();
  const std::string windowsFolder = platform::WindowsDirectory();
  const std::string systemFolder = platform::SystemDirectory();
  for (const platform::RunningProcess& process : processes) {
    // Definitions that name this program must not end it halfway through a
    // removal; definitions that name a part of Windows must not end the
    // whole system.
    if (process.id == self) continue;
    if (core::IsCoreSystemProcess(process.executablePath, windowsFolder, systemFolder, FoldFileName)) continue;
    // The program may run under a short name of its file, or a spelling of
    // its own: compared by the long path it names.
    if (IsExcluded(kept, process.executablePath)) continue;
    const size_t naming = core::EntriesNaming(core::FileNameOf(process.executablePath), index);
    if (naming == 0) continue;
    // One that will not end keeps its file open, and the removal of that
    // file then fails and says so.
    for (size_t i = 0; i < naming; ++i) {
      beforeEachTermination();
      platform::KillProcess(process, 0);
    }
  }
}

// The files the user keeps: the excluded ones, and the detections of which
// no line at the `marked` positions names the file.
core::PathSet KeptFiles(const std::vector<core::Detection>& detections, const std::vector<size_t>& marked) {
  core::PathSet kept = ExcludedPaths();
  core::PathSet removed(FoldFileName);
  for (size_t position : marked) {
    if (position < detections.size()) removed.Add(detections[position].path);
  }
  for (const core::Detection& detection : detections) {
    if (!removed.Contains(detection.path)) kept.Add(platform::LongPathOf(detection.path));
  }
  return kept;
}

}  // namespace

bool RunProcessPass(const core::DefinitionsIndex& index, const std::vector<core::Detection>& detections,
                    const std::vector<size_t>& marked, const std::function<void()>& beforeEachTermination) {
  if (core::ProcessPassFor(platform::OsPlatformId()) != core::ProcessPass::Run) return false;
  EndNamedProcesses(index, KeptFiles(detections, marked), beforeEachTermination);
  return true;
}

}  // namespace features
