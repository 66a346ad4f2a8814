#include "windows/work_gate.h"

#include <utility>

#include "features/scheduled_scan.h"
#include "windows/modal_loop.h"
#include "windows/program.h"

namespace windows {

WorkGate::Admission::Admission(WorkGate& gate, core::WorkRequest request)
    : gate_(gate),
      was_(gate.running_),
      admitted_(core::DecideWork(request, gate.State()) == core::WorkDecision::Run) {
  if (admitted_) gate_.running_ = core::WorkOf(request);
}

WorkGate::Admission::~Admission() {
  if (!admitted_) return;
  gate_.running_ = was_;
  // What came meanwhile waited for this end.
  if (was_ == core::RunningWork::None) gate_.LookAgainSoon();
}

core::WorkState WorkGate::State() const {
  return {program_.definitions.loaded(), running_, ModalLoop::AnyOpen(),
          program_.scanWindow && program_.scanWindow->HoldsDetections()};
}

void WorkGate::ScanNow(std::optional<bool> fullScan, const std::function<void()>& starting) {
  if (core::DecideWork(core::WorkRequest::ScanNow, State()) == core::WorkDecision::ShowRunning) {
    if (program_.scanWindow) program_.scanWindow->BringToFront();
    return;
  }
  const Admission scan(*this, core::WorkRequest::ScanNow);
  if (!scan) return;
  if (starting) starting();
  program_.mainWindow.ScanRun(false, fullScan);
}

void WorkGate::HandOver(std::string folder) {
  folders_.push_back(std::move(folder));
  LookAgainSoon();
}

std::optional<std::string> WorkGate::TakeFolder() {
  if (folders_.empty()) return std::nullopt;
  std::string folder = std::move(folders_.front());
  folders_.pop_front();
  return folder;
}

void WorkGate::LookAgainSoon() { program_.appWindow.CallSoon(); }

void WorkGate::LookAtWaiting() {
  if (!folders_.empty()) {
    const Admission scan(*this, core::WorkRequest::HandedOverScan);
    if (scan) program_.mainWindow.ScanRun(true, std::nullopt);
    return;
  }
  if (core::DecideWork(core::WorkRequest::ScheduledScan, State()) != core::WorkDecision::Run ||
      !features::ScheduledScanDue()) {
    return;
  }
  // Noted first: a scan that ends the program must not start again at once.
  features::RecordScheduledScan();
  const Admission scan(*this, core::WorkRequest::ScheduledScan);
  program_.mainWindow.ScanRun(false, features::StoredScanSchedule().fullScan);
}

}  // namespace windows
