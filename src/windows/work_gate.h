// The one place that decides whether a scan, a removal or a restore starts
// now (core::DecideWork): it runs the request, brings forward the scan under
// way, or keeps it. Folders handed over and the scheduled scan are kept
// until nothing runs, no menu or question is open and the scan window holds
// no detections the user has not dealt with; those that wait together are
// scanned in one run.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "core/work_gate.h"

namespace windows {

struct Program;

// How often the tray window asks whether the scheduled scan is due, in
// milliseconds.
constexpr unsigned kScheduleCheckInterval = 60 * 1000;

class WorkGate {
 public:
  explicit WorkGate(Program& program) : program_(program) {}
  WorkGate(const WorkGate&) = delete;
  WorkGate& operator=(const WorkGate&) = delete;

  // The user's Scan Now, as the Scan tab chooses or, given `fullScan`,
  // full or quick; `starting` runs just before a run of its own starts.
  void ScanNow(std::optional<bool> fullScan = std::nullopt, const std::function<void()>& starting = nullptr);
  bool Allows(core::WorkRequest request) const {
    return core::DecideWork(request, State()) == core::WorkDecision::Run;
  }
  // Lets a removal or a restore run for its lifetime, when it may run now.
  class Admission {
   public:
    Admission(WorkGate& gate, core::WorkRequest request);
    ~Admission();
    Admission(const Admission&) = delete;
    Admission& operator=(const Admission&) = delete;
    explicit operator bool() const { return admitted_; }

   private:
    WorkGate& gate_;
    const core::RunningWork was_;
    const bool admitted_;
  };

  // A folder another program handed over; it waits for the message loop.
  void HandOver(std::string folder);
  // The folder handed over that has waited longest, for the run under way.
  std::optional<std::string> TakeFolder();
  // Has what waits looked at from the message loop: after a change the gate
  // does not see itself (the definitions loaded, the scan window closed).
  void LookAgainSoon();
  // Starts what waits when it may: the folders handed over, else the
  // scheduled scan when it is due.
  void LookAtWaiting();

 private:
  core::WorkState State() const;

  Program& program_;
  core::RunningWork running_ = core::RunningWork::None;
  std::deque<std::string> folders_;
};

}  // namespace windows
