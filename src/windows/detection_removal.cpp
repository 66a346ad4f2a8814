#include "windows/detection_removal.h"

#include <algorithm>
#include <vector>

#include "core/removal_text.h"
#include "features/process_pass.h"
#include "features/quarantine_records.h"
#include "features/removal.h"
#include "platform/files.h"
#include "platform/painting_wait.h"
#include "platform/system.h"
#include "toolkit/busy_pointer.h"
#include "windows/message_box.h"
#include "windows/program.h"

namespace windows {
namespace {

// How long the removal may run between two looks at the window's messages.
constexpr DWORD kPaintSliceMs = 15;

class PaintSlices {
 public:
  void Due() {
    if (GetTickCount() - last_ < kPaintSliceMs) return;
    platform::LetWindowsPaint();
    last_ = GetTickCount();
  }

 private:
  DWORD last_ = GetTickCount();
};

// Drops the detections at these positions, whose lines have left the list.
void Forget(std::vector<core::Detection>& detections, const std::vector<size_t>& ascending) {
  std::vector<core::Detection> kept;
  kept.reserve(detections.size() - std::min(detections.size(), ascending.size()));
  auto gone = ascending.begin();
  for (size_t i = 0; i < detections.size(); ++i) {
    if (gone != ascending.end() && *gone == i) {
      ++gone;
      continue;
    }
    kept.push_back(std::move(detections[i]));
  }
  detections = std::move(kept);
}

}  // namespace

std::vector<size_t> MarkedLines(HWND list) {
  std::vector<size_t> marked;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if (SendMessageW(list, LB_GETSEL, i, 0) > 0) marked.push_back(static_cast<size_t>(i));
  }
  return marked;
}

void QuarantineMarkedDetections(Program& program, HWND owner, HWND list, std::vector<core::Detection>& detections) {
  // Its notice and its pauses to paint let timers and handed-over folders
  // through; a scan started there would put other files at the marked places.
  const WorkGate::Admission removing(program.gate, core::WorkRequest::Removal);
  if (!removing) return;
  toolkit::BusyPointer busy(toolkit::Pointer::ArrowAndHourglass);
  const std::vector<size_t> marked = MarkedLines(list);
  // Held for the whole pass: while its notice is open, start-up may run again
  // from the splash window and load the definitions anew.
  const core::SharedDefinitions definitions = program.definitions.shared();
  const auto notice = [owner] { ShowMessage(owner, "same", MB_OK); };
  if (!features::RunProcessPass(definitions->index, detections, marked, notice)) {
    ShowMessage(owner, "Operating system not recognized!", MB_OK | MB_ICONHAND);
  }

  PaintSlices paint;
  const features::QuarantineOutcome outcome = features::QuarantineDetections(
      detections, marked, platform::ApplicationFolder(), [&paint] { paint.Due(); });
  // The rows go in one batch, drawn once at the end.
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (auto position = outcome.gone.rbegin(); position != outcome.gone.rend(); ++position) {
    paint.Due();
    SendMessageW(list, LB_DELETESTRING, *position, 0);
  }
  Forget(detections, outcome.gone);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  program.removedTotal.Add(outcome.removed);
  busy.Release();
  ShowFailures(owner, outcome.notRemoved, "removed",
               "The file is still in place; close the programs that use it and try again.",
               "The files are still in place; close the programs that use them and try again.");
  ShowFailures(owner, outcome.notFiles, "removed",
               "A folder or other object that is not a file now stands at this place; it was left alone.",
               "Folders or other objects that are not files now stand at these places; they were left alone.");
  const std::string journal = "the quarantine journal \"" + features::JournalPath() + "\"";
  ShowFailures(owner, outcome.unrecorded, "removed",
               "The file is still in place: " + journal +
                   " could not be written. Close any other program that uses it, and try again.",
               "The files are still in place: " + journal +
                   " could not be written. Close any other program that uses it, and try again.");
}

}  // namespace windows
