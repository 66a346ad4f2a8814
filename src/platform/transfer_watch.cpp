#include "platform/transfer_watch.h"

namespace platform {

TransferWatch::TransferWatch(const WatchLimits& limits, uint32_t startMs)
    : limits_(limits), startMs_(startMs), windowStartMs_(startMs) {}

void TransferWatch::Restart(uint32_t nowMs, const TransferProgress& progress) {
  windowStartMs_ = nowMs;
  window_ = progress;
}

bool TransferWatch::StillAlive(uint32_t nowMs, const TransferProgress& progress) {
  if (limits_.wholeTransferMs != 0 && nowMs - startMs_ > limits_.wholeTransferMs) return false;
  if (progress.request != window_.request || progress.answered != window_.answered) {
    Restart(nowMs, progress);
    return true;
  }
  const uint32_t elapsed = nowMs - windowStartMs_;
  // Before the answer the connection may take its own time as well.
  if (!progress.answered) return elapsed <= limits_.connectTimeoutMs + limits_.stallTimeoutMs;
  if (elapsed < limits_.stallTimeoutMs) return true;
  if (progress.bytes - window_.bytes < limits_.stallMinBytes) return false;
  Restart(nowMs, progress);
  return true;
}

}  // namespace platform
