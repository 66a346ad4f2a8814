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

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

// Copies `file` to the unfinished copy of the first numbered name of
// `target` whose unfinished copy is free. The file operation itself refuses
// a taken name, so no name is looked up before (looking up a missing name
// reads the whole folder on some systems); a finished copy that holds the
// name already is met when the copy takes its name.
bool CopyUnderUnfinishedName(const std::string& file, const std::string& target, std::string& unfinished,
                             std::string& named) {
  bool madeFolder = false;
  for (int number = 1; number <= kMostNumberedCopies; ++number) {
    const std::string candidate = core::NumberedPath(target, number);
    const std::string copy = core::UnfinishedCopyPath(candidate);
    switch (platform::CopyWithoutOverwrite(file, copy)) {
      case platform::CopyResult::Copied:
        unfinished = copy;
        named = candidate;
        return true;
      case platform::CopyResult::TargetExists:
        break;
      case platform::CopyResult::Failed:
        // The folder may have been removed while the program ran.
        if (madeFolder) return false;
        madeFolder = true;
        platform::CreateFolder(FolderOf(target));
        --number;
        break;
    }
  }
  return false;
}

bool CopyToFreeName(const std::string& file, const std::string& target, std::string& written) {
  for (int number = 1; number <= kMostNumberedCopies; ++number) {
    const std::string candidate = core::NumberedPath(target, number);
    switch (platform::CopyWithoutOverwrite(file, candidate)) {
      case platform::CopyResult::Copied:
        written = candidate;
        return true;
      case platform::CopyResult::TargetExists:
        break;
      case platform::CopyResult::Failed:
        return false;
    }
  }
  return false;
}

// The original is still there: the delete failed (another program holds
// it open), or the system said it succeeded and left it (as it may in a
// folder the program may not change). A file put in its place since, with
// other bytes, is someone else's.
bool OriginalStayed(const std::string& original, const std::string& copy) {
  if (!platform::DeleteIfNotInUse(original)) return true;
  return platform::PathExists(original) && platform::KindOfPath(original) == platform::PathKind::PlainFile &&
         platform::SameContent(original, copy);
}

// A file of the press under way, with what it has made so far.
struct Under {
  FileRemoval* file;
  std::string unfinished;
  core::JournalRecord record;
};

class Press {
 public:
  Press(std::vector<FileRemoval>& files, const LogOnEntries& logOn, const RemovalStepObserver& observe,
        const std::function<void()>& between)
      : files_(files),
        logOn_(logOn),
        observe_(observe),
        between_(between),
        // One date for the whole press, formatted once.
        date_(platform::GeneralDate(platform::Now())) {}

  void Run() {
    if (files_.empty()) return;
    const platform::FileLock underWay = MarkWorkUnderWay(files_.front().paths.journalPath);
    for (FileRemoval& file : files_) {
      Pause();
      Copy(file);
    }
    if (under_.empty()) return;
    const std::string journal = under_.front().file->paths.journalPath;
    if (!WriteRecords(journal)) return;
    std::vector<core::JournalRecord> kept;
    for (Under& item : under_) {
      Pause();
      if (!DeleteOriginal(item)) {
        kept.push_back(item.record);
        continue;
      }
      Finish(item, journal);
    }
    if (kept.empty()) return;
    Step(RemovalStep::ForgetFilesKept);
    // Should this fail, the records match no file in quarantine.
    ForgetQuarantined(kept, journal);
  }

 private:
  void Step(RemovalStep step) {
    if (observe_) observe_(step);
  }
  void Pause() {
    if (between_) between_();
  }

  void Copy(FileRemoval& file) {
    const core::RemovalPaths& paths = file.paths;
    Step(RemovalStep::CopyUnderUnfinishedName);
    switch (platform::KindOfPath(paths.filePath)) {
      case platform::PathKind::PlainFile:
        break;
      case platform::PathKind::Missing:
        file.result = RemovalResult::AlreadyGone;
        return;
      case platform::PathKind::Other:
        file.result = RemovalResult::NotAFile;
        return;
      case platform::PathKind::Unknown:
        file.result = RemovalResult::Failed;
        return;
    }
    Under item{&file, "", {}};
    std::string named;
    if (!CopyUnderUnfinishedName(paths.filePath, paths.quarantinePath, item.unfinished, named)) return;
    // Copies keep the file's attributes: a read-only copy could not be
    // purged later, and a hidden or system one would not be listed. The
    // record keeps them for the restore.
    item.record.marks = platform::ClearMarks(item.unfinished);
    Step(RemovalStep::WriteCopyToDisk);
    item.record.quarantinedName = std::string(core::FileNameOf(named));
    item.record.originalPath = paths.filePath;
    item.record.quarantinedAt = date_;
    item.record.description = paths.description;
    item.record.identified = true;
    item.record.quarantinedTicks = platform::NowTicks();
    if (!platform::FlushToDisk(item.unfinished) || !IdentityOf(item.unfinished, item.record.file)) {
      platform::DeleteEvenIfReadOnly(item.unfinished);
      return;
    }
    item.record.startupTraces = FindStartupTraces(paths.filePath, logOn_);
    under_.push_back(std::move(item));
  }

  bool WriteRecords(const std::string& journal) {
    Step(RemovalStep::WriteRecords);
    std::vector<core::JournalRecord> records;
    for (const Under& item : under_) records.push_back(item.record);
    if (RecordQuarantined(journal, records)) return true;
    for (Under& item : under_) {
      platform::DeleteEvenIfReadOnly(item.unfinished);
      item.file->result = RemovalResult::Unrecorded;
    }
    // Even a failed append may have put the lines there.
    ForgetQuarantined(records, journal);
    return false;
  }

  bool DeleteOriginal(Under& item) {
    Step(RemovalStep::DeleteOriginal);
    const std::string& original = item.file->paths.filePath;
    if (OriginalStayed(original, item.unfinished)) {
      platform::DeleteEvenIfReadOnly(item.unfinished);
      if (platform::KindOfPath(original) == platform::PathKind::Other) item.file->result = RemovalResult::NotAFile;
      return false;
    }
    // What started the file at log-on goes only with the file, once the
    // record that brings it back is on disk.
    RemoveStartupTraces(item.record.startupTraces);
    return true;
  }

  void Finish(Under& item, const std::string& journal) {
    FileRemoval& file = *item.file;
    file.result = RemovalResult::Removed;
    Step(RemovalStep::TakeItsName);
    const std::string folder = FolderOf(file.paths.quarantinePath);
    // Should this fail, the next start gives the copy its name.
    if (!GiveCopyItsName(item.unfinished, item.record, folder, journal)) return;
    file.copies.quarantinePath = folder + "\\" + item.record.quarantinedName;
    Step(RemovalStep::CopyBeside);
    CopyToFreeName(file.copies.quarantinePath, file.paths.siblingPath, file.copies.siblingPath);
  }

  std::vector<FileRemoval>& files_;
  const LogOnEntries& logOn_;
  const RemovalStepObserver& observe_;
  const std::function<void()>& between_;
  const std::string date_;
  std::vector<Under> under_;
};

}  // namespace

void QuarantineFiles(std::vector<FileRemoval>& files, const LogOnEntries& logOn, const RemovalStepObserver& observe,
                     const std::function<void()>& between) {
  Press(files, logOn, observe, between).Run();
}

RemovalResult QuarantineDetectedFile(const core::RemovalPaths& paths, const LogOnEntries& logOn,
                                     QuarantinedCopies* copies, const RemovalStepObserver& observe) {
  std::vector<FileRemoval> files{{paths, RemovalResult::Failed, {}}};
  QuarantineFiles(files, logOn, observe);
  if (copies != nullptr) *copies = files.front().copies;
  return files.front().result;
}

QuarantineOutcome QuarantineDetections(const std::vector<core::Detection>& detections,
                                       const std::vector<size_t>& marked, const std::string& applicationFolder,
                                       const std::function<void()>& between, const RemovalStepObserver& observe) {
  QuarantineOutcome outcome;
  // Read now: the user may have excluded a file since the scan listed it.
  const core::PathSet excluded = ExcludedPaths();
  std::vector<FileRemoval> files;
  std::vector<size_t> positions;
  for (size_t position : marked) {
    if (position >= detections.size() || IsExcluded(excluded, detections[position].path)) continue;
    files.push_back({core::PathsForDetection(detections[position], applicationFolder), RemovalResult::Failed, {}});
    positions.push_back(position);
  }
  if (files.empty()) return outcome;
  // A value or shortcut made while the batch runs is found by the next
  // press; what one removal takes away names no other file of the batch.
  QuarantineFiles(files, ListLogOnEntries(), observe, between);
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string& path = detections[positions[i]].path;
    switch (files[i].result) {
      case RemovalResult::Removed:
        ++outcome.removed;
        outcome.gone.push_back(positions[i]);
        break;
      case RemovalResult::AlreadyGone:
        outcome.gone.push_back(positions[i]);
        break;
      case RemovalResult::Failed:
        outcome.notRemoved.push_back(path);
        break;
      case RemovalResult::NotAFile:
        outcome.notFiles.push_back(path);
        break;
      case RemovalResult::Unrecorded:
        outcome.unrecorded.push_back(path);
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
