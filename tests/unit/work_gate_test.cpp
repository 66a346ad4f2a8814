#include "core/work_gate.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

using core::RunningWork;
using core::WorkDecision;
using core::WorkRequest;

TEST(WorkGate, DecidesEveryRequestAgainstWhatIsOpenAndRunning) {
  constexpr WorkDecision R = WorkDecision::Run, W = WorkDecision::Wait, S = WorkDecision::ShowRunning,
                         X = WorkDecision::Refuse;
  struct Row {
    core::WorkState state;
    // ScanNow, HandedOverScan, ScheduledScan, Removal, Restore, ResultsMenu
    WorkDecision decisions[6];
  };
  const Row rows[] = {
      {{true, RunningWork::None, false, false}, {R, R, R, R, R, R}},
      {{false, RunningWork::None, false, false}, {X, W, W, X, R, R}},
      {{true, RunningWork::Scan, false, false}, {S, W, W, R, R, X}},
      {{true, RunningWork::Removal, false, false}, {S, W, W, X, X, X}},
      {{true, RunningWork::Restore, false, false}, {S, W, W, X, X, X}},
      {{true, RunningWork::None, true, false}, {R, W, W, R, R, R}},
      {{true, RunningWork::None, false, true}, {R, W, W, R, R, R}},
      {{true, RunningWork::Scan, true, true}, {S, W, W, R, R, X}},
  };
  const WorkRequest requests[] = {WorkRequest::ScanNow, WorkRequest::HandedOverScan, WorkRequest::ScheduledScan,
                                  WorkRequest::Removal, WorkRequest::Restore,        WorkRequest::ResultsMenu};
  for (size_t row = 0; row < std::size(rows); ++row) {
    for (size_t i = 0; i < std::size(requests); ++i) {
      EXPECT_EQ(core::DecideWork(requests[i], rows[row].state), rows[row].decisions[i]) << "row " << row << " request " << i;
    }
  }
}

}  // namespace
