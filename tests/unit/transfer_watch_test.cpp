// When a download is given up: no answer, a trickle, or too long in all.
#include <gtest/gtest.h>

#include <vector>

#include "platform/transfer_watch.h"

namespace {

using platform::TransferProgress;

struct Step {
  uint32_t atMs;
  TransferProgress progress;
  bool alive;
};

struct Row {
  const char* what;
  uint32_t wholeTransferMs;
  std::vector<Step> steps;
};

TEST(TransferWatch, GivesUpOnSilenceTricklesAndOverlongTransfers) {
  // Connect 1 s, stall 2 s, at least 100 bytes per stall time.
  const Row rows[] = {
      {"silent server", 0, {{2900, {0, false, 0}, true}, {3001, {0, false, 0}, false}}},
      {"each redirect restarts the wait",
       0,
       {{2900, {1, false, 0}, true}, {5800, {1, false, 0}, true}, {5901, {1, false, 0}, false}}},
      {"steady body", 0, {{500, {0, true, 0}, true}, {2600, {0, true, 150}, true}, {4700, {0, true, 300}, true}}},
      {"trickle", 0, {{500, {0, true, 0}, true}, {2400, {0, true, 60}, true}, {2600, {0, true, 99}, false}}},
      {"body stops", 0, {{500, {0, true, 0}, true}, {2600, {0, true, 500}, true}, {4700, {0, true, 500}, false}}},
      {"whole transfer", 4000, {{500, {0, true, 0}, true}, {2600, {0, true, 500}, true}, {4001, {0, true, 900}, false}}},
  };
  for (const Row& row : rows) {
    platform::WatchLimits limits;
    limits.connectTimeoutMs = 1000;
    limits.stallTimeoutMs = 2000;
    limits.stallMinBytes = 100;
    limits.wholeTransferMs = row.wholeTransferMs;
    // Started just before the clock wraps around.
    const uint32_t start = 0xFFFFFF00u;
    platform::TransferWatch watch(limits, start);
    for (const Step& step : row.steps) {
      EXPECT_EQ(watch.StillAlive(start + step.atMs, step.progress), step.alive) << row.what << " at " << step.atMs;
    }
  }
}

}  // namespace
