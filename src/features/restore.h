// Putting quarantined files back: where their records say they came from,
// or into a folder the user chooses.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace features {

// What a restore needs the user to decide. Asked while the restore runs, so
// the journal is read again after each answer.
class RestoreQuestions {
 public:
  virtual ~RestoreQuestions() = default;
  // The folder to restore to: for every file when `everyFile`, otherwise for
  // those whose origin is not known. Nothing when the user cancelled.
  virtual std::optional<std::string> ChooseFolder(bool everyFile) = 0;
  // Whether to restore `name` beside `target`, which is taken, under a
  // numbered name.
  virtual bool RestoreBeside(const std::string& target, const std::string& name) = 0;
  // Whether to restore `name` to `target`, which lies in the Windows folder
  // or a Program Files folder.
  virtual bool RestoreIntoSystemFolder(const std::string& target, const std::string& name) = 0;
};

struct RestoreOutcome {
  std::vector<std::string> restored;  // quarantined names put back
  std::vector<std::string> failed;    // still in quarantine
  // What started a restored file at log-on and could not be put back with
  // it, as a person reads it.
  std::vector<std::string> tracesNotRestored;
};

// The steps of restoring one file, in order; start-up finishes or undoes
// what a stop left (see docs/development.md).
enum class RestoreStep {
  WriteNote,                // the restore noted in the journal, flushed
  CopyUnderUnfinishedName,  // beside its target, under a name marked unfinished
  WriteCopyToDisk,          // flushed, then its marks put back
  TakeItsName,              // renamed to the target, which nothing holds
  DeleteQuarantined,        // the copy in quarantine goes
  PutBackTraces,            // what started it at log-on, the spare "QVR" copy gone
  ForgetRecords,            // once: the records and notes dropped in one rewrite
};
using RestoreStepObserver = std::function<void(RestoreStep)>;

// Whether a restore to `target` must ask first: into the Windows folder or
// a Program Files folder, which a program run with full rights could
// change for every user.
bool RestoreNeedsAsking(const std::string& target);

// Moves the quarantined files `names` back without replacing anything:
// to the path their record gives, or (with `chooseFolder`, or when the
// record is missing or leads nowhere safe) into the folder the user
// chooses, asked once. A file the user declined or whose folder was not
// chosen is neither restored nor failed. The records of restored files are
// dropped, and the "QVR" copy beside an original goes once the same bytes
// are back. `putBack`, when given, learns where each file went as soon as
// it is there, before any later question lets other work run.
RestoreOutcome RestoreQuarantined(const std::vector<std::string>& names, bool chooseFolder,
                                  RestoreQuestions& questions,
                                  const std::function<void(const std::string& path)>& putBack = {},
                                  const RestoreStepObserver& observe = {});

}  // namespace features
