// The scan window: the folder being scanned, the detections found so far,
// the two running counts, and Abort, Exit and Quarantine. Created by each
// scan run and destroyed by its Exit button.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/scan_engine.h"
#include "features/scan_session.h"
#include "toolkit/controls.h"
#include "toolkit/window.h"
#include "windows/control_ids.h"

namespace windows {

struct Program;

class ScanWindow : public toolkit::Window, public core::ScanObserver {
 public:
  explicit ScanWindow(Program& program);

  // Creates the window if it does not exist and puts it in its scanning
  // state with clean counts.
  void Load();
  void Show();
  void BringToFront();
  void EmptyResults();
  // The finished state: caption "Scan Complete", Exit and Quarantine usable.
  void Finish();
  HWND DetectionList() const { return controls_.Get(ids::ScanWindowDetections); }
  // True while the window is up with detections the user has not dealt with.
  bool HoldsDetections() const { return Exists() && !detections_.empty(); }

  // The run whose findings the window shows; Abort stops it, also when it
  // was pressed as the window was being made ready for the run.
  void Observe(features::ScanSession* session);

  bool YieldToWindow() override;
  void ScanningFolder(const std::string& shownPath) override;
  void Detected(const core::Detection& detection) override;
  void FileExamined(int32_t objectsScanned) override;

 private:
  std::vector<toolkit::ControlRow> Rows();
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ResetForNewRun();
  void OnAbortClicked();
  // Stores the removed total and closes the window.
  void OnExitClicked();
  // Ends the programs the definitions name, then removes the marked
  // detections.
  void OnQuarantineClicked();
  // The results list's menu: keep the clicked or the marked files for good.
  // False for a menu asked of another control.
  bool OnContextMenu(HWND source, LPARAM position);
  void ShowButton(int id, bool shown);
  // Abort while the scan runs, Exit afterwards: the control that takes the
  // focus when the one that had it is gone.
  HWND DefaultButton() const;
  void RestoreFocus();
  // Brings the labels up to the exact counts and lets queued messages through.
  void RefreshAndPump();
  void RefreshCounters();
  // Adds the lines of the detections not yet listed, with the list's
  // drawing held back.
  void AddQueuedLines();
  // Lets the list draw again and shows what was added since it last did.
  void ShowAddedLines();
  void KeepWholeLines();
  RECT AddedLinesArea() const;

  Program& program_;
  features::ScanSession* session_ = nullptr;
  bool abortPressed_ = false;  // since the window was made ready for this run
  DWORD abortPressedAt_ = 0;
  int32_t objectsScanned_ = 0;
  int dpi_ = 96;
  std::unique_ptr<toolkit::FontSet> fonts_;
  toolkit::ControlSet controls_;
  DWORD lastPump_ = 0;
  DWORD lastAnswer_ = 0;
  bool anyFileExamined_ = false;
  LRESULT shownFound_ = -1;
  std::string pendingFolder_;
  int widestLine_ = 0;
  HWND lastFocus_ = nullptr;  // the control that had the focus when the window was left
  // Every detection of the run, in the list's order; the first `listed_`
  // of them are lines of the list.
  std::vector<core::Detection> detections_;
  size_t listed_ = 0;
  bool listRedrawOff_ = false;
  size_t firstUnshownLine_ = 0;  // the first line added while the list did not draw
  DWORD lastRepaint_ = 0;
  DWORD lastCounters_ = 0;
};

}  // namespace windows
