#include "windows/guard_control.h"

#include "core/path_set.h"
#include "core/setting_values.h"
#include "features/exclusions.h"
#include "features/guard.h"
#include "features/settings.h"
#include "windows/program.h"

namespace windows {

void FollowGuardSetting(Program& program) {
  const bool wanted = program.definitions.loaded() && core::ReadsAsOn(features::GetAppSetting(core::kGuard, "1"));
  if (!wanted) {
    StopGuard(program);
    return;
  }
  const core::SharedDefinitions definitions = program.definitions.shared();
  if (program.guard && program.guard->definitions() == definitions) return;
  // The old watch goes first, so that two are never held at once.
  StopGuard(program);
  HWND tray = program.tray.hwnd();
  program.guard = std::make_unique<features::Guard>(definitions, [tray] { PostMessageW(tray, kGuardWakeMessage, 0, 0); });
}

void StopGuard(Program& program) { program.guard.reset(); }

void CollectGuardFindings(Program& program) {
  if (!program.guard) return;
  const core::PathSet excluded = features::ExcludedPaths();
  const features::Guard::Collected collected =
      program.guard->Collect([&excluded](const std::string& path) { return features::IsExcluded(excluded, path); });
  if (!collected.findings.empty()) {
    program.guardWindow.AddFindings(collected.findings);
    const core::GuardFinding& last = collected.findings.back();
    program.tray.ShowBalloon("Spyware / Adware found", last.path + "\r\n" + last.detection.description);
  }
  if (collected.drivesChanged) {
    bool watchDown = false;
    for (const core::GuardDriveStatus& drive : collected.drives) watchDown = watchDown || drive.retrySeconds != 0;
    program.guardWindow.ShowNote(core::GuardNote(collected.drives), watchDown);
  }
  if (collected.worthShowing) program.guardWindow.Show();
}

}  // namespace windows
