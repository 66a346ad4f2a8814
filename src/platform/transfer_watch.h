// When a download in progress has to be given up: the rules against a
// server that never answers, or answers a trickle that would hold the
// program for hours. Pure arithmetic on the times and byte counts the
// transfer reports, so it is tested without a network or a clock.
#pragma once

#include <cstdint>

namespace platform {

struct WatchLimits {
  uint32_t connectTimeoutMs = 0;
  uint32_t stallTimeoutMs = 0;
  // Less than this within a stall timeout counts as no progress.
  uint64_t stallMinBytes = 0;
  // The whole transfer, redirects included; 0 for no such bound.
  uint32_t wholeTransferMs = 0;
};

// What the transfer has reached. `request` counts the requests sent (each
// redirect sends one more); `answered` tells whether the current request's
// answer has arrived, and `bytes` counts the body received since.
struct TransferProgress {
  uint32_t request = 0;
  bool answered = false;
  uint64_t bytes = 0;
};

class TransferWatch {
 public:
  TransferWatch(const WatchLimits& limits, uint32_t startMs);
  // False once the transfer has stalled or run out of time. Times are
  // milliseconds of a clock that may wrap around.
  bool StillAlive(uint32_t nowMs, const TransferProgress& progress);

 private:
  void Restart(uint32_t nowMs, const TransferProgress& progress);

  WatchLimits limits_;
  uint32_t startMs_;
  uint32_t windowStartMs_;
  TransferProgress window_;
};

}  // namespace platform
