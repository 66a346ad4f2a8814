#include "features/restore.h"

#include "core/paths.h"
#include "core/quarantine_journal.h"
#include "core/removal_text.h"
#include "core/startup_traces.h"
#include "features/disk_folders.h"
#include "features/quarantine_records.h"
#include "features/removal.h"
#include "features/startup_traces.h"
#include "platform/files.h"
#include "platform/system.h"

namespace features {

bool RestoreNeedsAsking(const std::string& target) {
  std::vector<std::string> folders = platform::ProgramFilesFolders();
  folders.push_back(platform::WindowsDirectory());
  for (const std::string& folder : folders) {
    if (!folder.empty() && LiesWithin(target, folder)) return true;
  }
  return false;
}

namespace {

// One restore under way: the records as last read, the folder chosen (asked
// once; a cancelled dialog leaves every file that needed it in quarantine)
// and what became of each file.
class Restore {
 public:
  Restore(bool chooseFolder, RestoreQuestions& questions, const std::function<void(const std::string&)>& putBack,
          const RestoreStepObserver& observe)
      : chooseFolder_(chooseFolder),
        questions_(questions),
        putBack_(putBack),
        observe_(observe),
        records_(ReadQuarantineRecords()) {}

  void Put(const std::string& name) {
    // While a question waits, the scan window may quarantine and record more
    // files: the records are read again after each one.
    if (asked_) records_ = ReadQuarantineRecords();
    asked_ = false;
    const std::optional<core::JournalRecord> record = RecordOf(records_, name);
    // A file found in a drive root was recorded as its detection line shows
    // it ("E:\\x.exe").
    const std::string original = record ? core::PlainPath(record->originalPath) : std::string();
    // A record that leads anywhere but to a full path outside the quarantine
    // is not followed: the file is treated like one without a record.
    const bool known = record && core::IsRestorablePath(original, QuarantineFolder());
    std::string target;
    if (chooseFolder_ || !known) {
      // The original name, which may differ from the one in quarantine.
      if (!TargetInChosenFolder(known ? std::string(core::FileNameOf(original)) : name, target)) return;
      // Into the quarantine itself it would stay there, without its record,
      // whatever name the folder was chosen by.
      if (!core::IsRestorablePath(core::PlainPath(target), QuarantineFolder()) || chosenInQuarantine_) {
        outcome_.failed.push_back(name);
        return;
      }
    } else {
      target = original;
    }
    // A record any user could have edited must not steer a program run with
    // full rights into the system's folders unasked.
    if (RestoreNeedsAsking(target)) {
      asked_ = true;
      if (!questions_.RestoreIntoSystemFolder(target, name)) return;
    }
    if (!MoveBack(name, target, record ? record->marks : 0)) return;
    outcome_.restored.push_back(name);
    if (putBack_) putBack_(target);
    Step(RestoreStep::PutBackTraces);
    if (!record) return;
    restoredRecords_.push_back(*record);
    // The spare copy the removal left beside the original has served its
    // purpose once the same file is back; one that cannot be compared stays.
    // A file whose own extension is the spare copy's is its own "spare".
    const std::string sibling = core::SiblingCopyPath(original);
    if (known && !chooseFolder_ && FoldFileName(sibling) != FoldFileName(target) &&
        platform::SameContent(sibling, target)) {
      platform::DeleteEvenIfReadOnly(sibling);
    }
    const bool backInPlace = known && target == original;
    // What started it at log-on comes back only with the file at its own
    // place (elsewhere it would start whatever took that place), and only
    // where it starts that very file. The record goes, so what stays out is
    // named.
    const std::vector<core::StartupTrace> starting =
        backInPlace ? TracesStarting(record->startupTraces, target) : std::vector<core::StartupTrace>();
    std::vector<core::StartupTrace> left = RestoreStartupTraces(starting);
    for (const core::StartupTrace& trace : record->startupTraces) {
      bool among = false;
      for (const core::StartupTrace& put : starting) among = among || put == trace;
      if (!among) left.push_back(trace);
    }
    for (const core::StartupTrace& trace : left) {
      outcome_.tracesNotRestored.push_back(core::DescribeStartupTrace(trace));
    }
  }

  RestoreOutcome Finish() {
    Step(RestoreStep::ForgetRecords);
    ForgetQuarantined(restoredRecords_, JournalPath(), notes_);
    return std::move(outcome_);
  }

 private:
  void Step(RestoreStep step) {
    if (observe_) observe_(step);
  }

  bool TargetInChosenFolder(const std::string& fileName, std::string& target) {
    if (!askedForFolder_) {
      askedForFolder_ = asked_ = true;
      folder_ = questions_.ChooseFolder(chooseFolder_);
      chosenInQuarantine_ = folder_ && LiesWithin(*folder_, QuarantineFolder());
    }
    if (!folder_) return false;
    target = core::JoinPath(*folder_, fileName);
    return true;
  }

  // False when the file stays in quarantine: declined, or failed (noted).
  bool MoveBack(const std::string& name, std::string& target, uint32_t marks) {
    const std::string quarantined = QuarantineFolder() + "\\" + name;
    if (platform::PathExists(target)) {
      asked_ = true;
      if (!questions_.RestoreBeside(target, name)) return false;
      target = FreePathBeside(target);
    }
    if (Copy(quarantined, target, marks)) return true;
    outcome_.failed.push_back(name);
    return false;
  }

  // The copy is made under an unfinished name and takes the target's only
  // once it is whole on disk, so that no program ever finds a file cut
  // short under the name it loads; the journal's note lets start-up finish
  // or undo a restore that stopped.
  bool Copy(const std::string& quarantined, const std::string& target, uint32_t marks) {
    core::RestoreNote note{std::string(core::FileNameOf(quarantined)), {}, core::UnfinishedCopyPath(target), target};
    Step(RestoreStep::WriteNote);
    if (!IdentityOf(quarantined, note.file) || !AppendToJournal(JournalPath(), core::FormatRestoreNote(note))) {
      return false;
    }
    notes_.push_back(note);
    Step(RestoreStep::CopyUnderUnfinishedName);
    platform::CopyResult copied = platform::CopyWithoutOverwrite(quarantined, note.unfinishedPath);
    if (copied == platform::CopyResult::Failed) {
      platform::CreateFoldersFor(note.unfinishedPath);
      copied = platform::CopyWithoutOverwrite(quarantined, note.unfinishedPath);
    }
    if (copied != platform::CopyResult::Copied) return false;
    Step(RestoreStep::WriteCopyToDisk);
    // Flushed before the read-only mark comes back, which forbids writing.
    if (!platform::FlushToDisk(note.unfinishedPath) || (marks != 0 && !platform::AddMarks(note.unfinishedPath, marks))) {
      platform::DeleteEvenIfReadOnly(note.unfinishedPath);
      return false;
    }
    Step(RestoreStep::TakeItsName);
    if (platform::RenameWithoutReplacing(note.unfinishedPath, target) != platform::MoveResult::Moved) {
      platform::DeleteEvenIfReadOnly(note.unfinishedPath);
      return false;
    }
    Step(RestoreStep::DeleteQuarantined);
    if (platform::DeleteEvenIfReadOnly(quarantined)) return true;
    platform::DeleteEvenIfReadOnly(target);
    return false;
  }

  const bool chooseFolder_;
  RestoreQuestions& questions_;
  const std::function<void(const std::string&)>& putBack_;
  const RestoreStepObserver& observe_;
  std::vector<core::JournalRecord> records_;
  bool asked_ = false;
  bool askedForFolder_ = false;
  std::optional<std::string> folder_;
  bool chosenInQuarantine_ = false;
  std::vector<core::JournalRecord> restoredRecords_;
  std::vector<core::RestoreNote> notes_;
  RestoreOutcome outcome_;
};

}  // namespace

RestoreOutcome RestoreQuarantined(const std::vector<std::string>& names, bool chooseFolder,
                                  RestoreQuestions& questions, const std::function<void(const std::string&)>& putBack,
                                  const RestoreStepObserver& observe) {
  const platform::FileLock underWay = MarkWorkUnderWay(JournalPath());
  Restore restore(chooseFolder, questions, putBack, observe);
  for (const std::string& name : names) restore.Put(name);
  return restore.Finish();
}

}  // namespace features
