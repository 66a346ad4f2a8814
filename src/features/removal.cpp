#include "features/removal.h"

#include "features/exclusions.h"
#include "features/quarantine_records.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace features {
namespace {

// Enough for any real clash of names; a folder full of one name's numbered
// copies is refused rather than searched for ever.
constexpr int kMostNumberedCopies = 10000;

constexpr RemovalStep kSteps[] = {RemovalStep::CopyUnderUnfinishedName, RemovalStep::WriteCopyToDisk,
                                  RemovalStep::TakeFreeName,            RemovalStep::CopyBeside,
                                  RemovalStep::WriteRecord,             RemovalStep::DeleteOriginal};

enum class NameTry { Used, Taken, Failed };

// Tries `target`'s numbered names in turn until one is free. The file
// operation itself refuses a taken name, so no name is looked up before
// (looking up a missing name reads the whole folder on some systems). The
// name used is left in `used`; false when none was.
template <typename TryName>
bool UseFirstFreeName(const std::string& target, TryName tryName, std::string& used) {
  for (int number = 1; number <= kMostNumberedCopies; ++number) {
    const std::string candidate = core::NumberedPath(target, number);
    switch (tryName(candidate)) {
      case NameTry::Used:
        used = candidate;
        return true;
      case NameTry::Taken:
        break;
      case NameTry::Failed:
        return false;
    }
  }
  return false;
}

bool CopyToFreeName(const std::string& file, const std::string& target, std::string& written) {
  return UseFirstFreeName(target, [&](const std::string& candidate) {
    switch (platform::CopyWithoutOverwrite(file, candidate)) {
      case platform::CopyResult::Copied: return NameTry::Used;
      case platform::CopyResult::TargetExists: return NameTry::Taken;
      case platform::CopyResult::Failed: break;
    }
    return NameTry::Failed;
  }, written);
}

bool RenameToFreeName(const std::string& file, const std::string& target, std::string& renamed) {
  return UseFirstFreeName(target, [&](const std::string& candidate) {
    switch (platform::RenameWithoutReplacing(file, candidate)) {
      case platform::MoveResult::Moved: return NameTry::Used;
      case platform::MoveResult::TargetTaken: return NameTry::Taken;
      case platform::MoveResult::Failed: break;
    }
    return NameTry::Failed;
  }, renamed);
}

// One removal under way: what it has made so far, so that a failed step
// can take it all away again.
class Removal {
 public:
  Removal(const core::RemovalPaths& paths, const LogOnEntries& logOn) : paths_(paths), logOn_(logOn) {}

  bool Take(RemovalStep step) {
    switch (step) {
      case RemovalStep::CopyUnderUnfinishedName:
        return CopyIntoQuarantine();
      case RemovalStep::WriteCopyToDisk:
        return platform::FlushToDisk(unfinished_);
      case RemovalStep::TakeFreeName:
        if (!RenameToFreeName(unfinished_, paths_.quarantinePath, quarantined_)) return false;
        unfinished_.clear();
        return true;
      case RemovalStep::CopyBeside:
        CopyToFreeName(paths_.filePath, paths_.siblingPath, sibling_);
        return true;
      case RemovalStep::WriteRecord:
        return WriteRecord();
      case RemovalStep::DeleteOriginal:
        // Spyware often marks itself read-only; that alone must not protect it.
        if (!platform::DeleteEvenIfReadOnly(paths_.filePath)) return false;
        // What started the file at log-on goes only with the file, once the
        // record that brings it back is on disk: a removal undone earlier
        // never has to write it back, which another program's value put
        // under the same name meanwhile would refuse.
        RemoveStartupTraces(record_.startupTraces);
        return true;
    }
    return false;
  }

  // Takes away what the steps so far made: the record first, so that no
  // record ever names a copy that is gone.
  void Undo() {
    if (recordWritten_) ForgetQuarantined({record_}, paths_.journalPath);
    for (const std::string* made : {&sibling_, &quarantined_, &unfinished_}) {
      if (!made->empty()) platform::DeleteEvenIfReadOnly(*made);
    }
  }

  QuarantinedCopies Copies() const { return {quarantined_, sibling_}; }

 private:
  bool CopyIntoQuarantine() {
    const std::string unfinished = core::UnfinishedCopyPath(paths_.quarantinePath);
    if (!CopyToFreeName(paths_.filePath, unfinished, unfinished_)) {
      // The folder may have been removed while the program ran.
      platform::CreateFolder(paths_.quarantinePath.substr(0, paths_.quarantinePath.rfind('\\')));
      if (!CopyToFreeName(paths_.filePath, unfinished, unfinished_)) return false;
    }
    // Copies keep the file's attributes: a read-only copy could not be
    // purged later, and a hidden or system one would not be listed.
    platform::ClearMarks(unfinished_);
    return true;
  }

  bool WriteRecord() {
    record_ = {std::string(core::FileNameOf(quarantined_)), paths_.filePath, platform::GeneralDate(platform::Now()),
               paths_.description};
    record_.identified = true;
    record_.quarantinedTicks = platform::NowTicks();
    if (!IdentityOf(quarantined_, record_.file)) return false;
    record_.startupTraces = FindStartupTraces(paths_.filePath, logOn_);
    // Even a failed append may have put the line there.
    recordWritten_ = true;
    return RecordQuarantined(paths_.journalPath, record_);
  }

  const core::RemovalPaths& paths_;
  const LogOnEntries& logOn_;
  std::string unfinished_, quarantined_, sibling_;
  core::JournalRecord record_;
  bool recordWritten_ = false;
};

}  // namespace

RemovalResult QuarantineDetectedFile(const core::RemovalPaths& paths, const LogOnEntries& logOn,
                                     QuarantinedCopies* copies, const RemovalStepObserver& observe) {
  switch (platform::KindOfPath(paths.filePath)) {
    case platform::PathKind::PlainFile:
      break;
    case platform::PathKind::Missing:
      return RemovalResult::AlreadyGone;
    case platform::PathKind::Other:
    case platform::PathKind::Unknown:
      return RemovalResult::Failed;
  }
  Removal removal(paths, logOn);
  for (RemovalStep step : kSteps) {
    if (observe) observe(step);
    if (!removal.Take(step)) {
      removal.Undo();
      return RemovalResult::Failed;
    }
  }
  if (copies != nullptr) *copies = removal.Copies();
  return RemovalResult::Removed;
}

QuarantineOutcome QuarantineDetections(const std::vector<core::Detection>& detections,
                                       const std::vector<size_t>& marked, const std::string& applicationFolder,
                                       const std::function<void()>& between) {
  QuarantineOutcome outcome;
  // Read now: the user may have excluded a file since the scan listed it.
  const core::PathSet excluded = ExcludedPaths();
  // A value or shortcut made while the batch runs is found by the next
  // press; what one removal takes away names no other file of the batch.
  const LogOnEntries logOn = ListLogOnEntries();
  for (size_t position : marked) {
    if (between) between();
    if (position >= detections.size()) continue;
    const core::Detection& detection = detections[position];
    if (IsExcluded(excluded, detection.path)) continue;
    switch (QuarantineDetectedFile(core::PathsForDetection(detection, applicationFolder), logOn)) {
      case RemovalResult::Removed:
        ++outcome.removed;
        outcome.gone.push_back(position);
        break;
      case RemovalResult::AlreadyGone:
        outcome.gone.push_back(position);
        break;
      case RemovalResult::Failed:
        outcome.notRemoved.push_back(detection.path);
        break;
    }
  }
  return outcome;
}

std::string FreePathBeside(const std::string& path) {
  for (int number = 2;; ++number) {
    std::string candidate = core::NumberedPath(path, number);
    if (!platform::PathExists(candidate)) return candidate;
  }
}

}  // namespace features
