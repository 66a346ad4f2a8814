// The guard window: the files the guard found while the program runs, with
// Quarantine and Always Ignore This File for the marked lines, and a note
// on drives where changes may have gone unseen, with a scan while a watch
// is down. Opened by a click on the
// guard's balloon and from the tray menu; closing it only hides it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/guard_filter.h"
#include "core/detection.h"
#include "toolkit/controls.h"
#include "toolkit/window.h"
#include "windows/control_ids.h"

namespace windows {

struct Program;

class GuardWindow : public toolkit::Window {
 public:
  explicit GuardWindow(Program& program);

  // Creates the window, hidden, the first time.
  void Load();
  void Show();
  void AddFindings(const std::vector<core::GuardFinding>& findings);
  // Shows `note` (none when empty), and a scan when `offerScan`.
  void ShowNote(const std::string& note, bool offerScan);
  HWND FindingList() const { return controls_.Get(ids::GuardWindowFindings); }

 private:
  std::vector<toolkit::ControlRow> Rows();
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DropLinesOfGoneFiles();
  void OnQuarantineClicked();
  void OnIgnoreClicked();
  void OnScanClicked();

  Program& program_;
  std::string note_;
  bool offerScan_ = false;
  // What the guard found, in the list's order.
  std::vector<core::Detection> found_;
  HWND lastFocus_ = nullptr;  // the control that had the focus when the window was left
  int widestLine_ = 0;  // in pixels, for the list's sideways scrolling
  int dpi_ = 96;
  std::unique_ptr<toolkit::FontSet> fonts_;
  toolkit::ControlSet controls_;
};

}  // namespace windows
