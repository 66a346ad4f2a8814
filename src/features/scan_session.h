// One scan run's work: the definitions it matches against, held for the
// whole run (starting again may reload them meanwhile), the walk of its
// folders, its count of examined files, its report text and whether the
// user asked it to stop. The scan window observes it and shows what it
// finds.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/definitions.h"
#include "core/scan_engine.h"
#include "features/scan_report.h"

namespace features {

// The roots a full scan walks for this drive list (floppy drives left out),
// and the one a quick scan walks.
std::vector<std::string> FullScanRoots(const std::vector<std::string>& driveEntries);
std::string QuickScanRoot();

class ScanSession : private core::ScanObserver {
 public:
  // `view` sees every folder, detection and examined file, and lets the
  // window's messages through when it is due. A walk in the background
  // starts no listing helpers: see ScanFolderSource.
  enum class Walking { Foreground, Background };
  ScanSession(core::SharedDefinitions definitions, core::ScanObserver& view, Walking walking = Walking::Foreground);
  ScanSession(const ScanSession&) = delete;
  ScanSession& operator=(const ScanSession&) = delete;

  // Walks the tree under `root`; returns when it is done or aborted. The
  // program's own Quarantine folder is passed over.
  void Walk(const std::string& root);
  void Abort() { aborted_ = true; }
  bool aborted() const { return aborted_; }
  int32_t objectsScanned() const { return objectsScanned_; }

  // Writes the report of the run when reports are switched on.
  std::optional<ReportWrite> SaveReportIfWanted() const;

 private:
  bool YieldToWindow() override { return view_.YieldToWindow() || aborted_; }
  void ScanningFolder(const std::string& shownPath) override { view_.ScanningFolder(shownPath); }
  void Detected(const core::Detection& detection) override { view_.Detected(detection); }
  void FileExamined(int32_t count) override { view_.FileExamined(count); }

  const core::SharedDefinitions definitions_;
  core::ScanObserver& view_;
  std::string reportText_;
  int32_t objectsScanned_ = 0;
  bool aborted_ = false;
  // The folders are listed ahead on threads of their own while the caller's
  // thread examines them in the walk's order and keeps the window answering.
  std::unique_ptr<core::FolderSource> folders_;
  // The files the user keeps, read once per run.
  const core::PathSet keptFiles_;
  core::ScanEngine engine_;
};

}  // namespace features
