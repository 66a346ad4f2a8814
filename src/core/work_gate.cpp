#include "core/work_gate.h"

namespace core {

WorkDecision DecideWork(WorkRequest request, const WorkState& state) {
  const bool removing = state.running == RunningWork::Removal || state.running == RunningWork::Restore;
  switch (request) {
    case WorkRequest::ScanNow:
      // A second run inside the first one's message handling would empty
      // the results under it.
      if (!state.definitionsLoaded) return WorkDecision::Refuse;
      return state.running == RunningWork::None ? WorkDecision::Run : WorkDecision::ShowRunning;
    case WorkRequest::HandedOverScan:
    case WorkRequest::ScheduledScan:
      // Nobody pressed anything for these: they never replace results the
      // user has not seen, nor start under a question that could end the
      // program with them.
      if (!state.definitionsLoaded || state.running != RunningWork::None || state.questionOpen || state.resultsOpen) {
        return WorkDecision::Wait;
      }
      return WorkDecision::Run;
    case WorkRequest::Removal:
      // The definitions name the programs the removal ends first.
      if (!state.definitionsLoaded || removing) return WorkDecision::Refuse;
      return WorkDecision::Run;
    case WorkRequest::Restore:
      return removing ? WorkDecision::Refuse : WorkDecision::Run;
    case WorkRequest::ResultsMenu:
      // While a scan adds lines, or a removal takes them, the list is not
      // the user's to change.
      return state.running == RunningWork::None ? WorkDecision::Run : WorkDecision::Refuse;
  }
  return WorkDecision::Refuse;
}

RunningWork WorkOf(WorkRequest request) {
  switch (request) {
    case WorkRequest::Removal:
      return RunningWork::Removal;
    case WorkRequest::Restore:
      return RunningWork::Restore;
    case WorkRequest::ResultsMenu:
      return RunningWork::None;
    default:
      return RunningWork::Scan;
  }
}

}  // namespace core
