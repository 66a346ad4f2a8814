// Whether long work may start now. Scans, removals and restores run on the
// user-interface thread and let messages through while they work, so a
// request can come inside another one's run, inside the message loop of an
// open menu or question, or while a scan's results wait for the user.
#pragma once

namespace core {

enum class WorkRequest {
  ScanNow,         // the user's own: the Scan tab's, the guard's, the scan at start
  HandedOverScan,  // folders another program handed over
  ScheduledScan,
  Removal,         // Quarantine of marked detections
  Restore,
  ResultsMenu,     // the scan results' menu, which takes lines away
};

enum class RunningWork { None, Scan, Removal, Restore };

struct WorkState {
  bool definitionsLoaded = false;
  RunningWork running = RunningWork::None;
  // A menu, message box or folder dialog runs its own message loop, whose
  // answer may end the program or act on what it was opened over.
  bool questionOpen = false;
  // The scan window shows detections the user has not dealt with.
  bool resultsOpen = false;
};

enum class WorkDecision {
  Run,
  Wait,         // kept, and asked again once the state changes
  ShowRunning,  // the scan under way is brought forward instead
  Refuse,
};

WorkDecision DecideWork(WorkRequest request, const WorkState& state);
// What a request runs as, once it runs.
RunningWork WorkOf(WorkRequest request);

}  // namespace core
