#include "features/quarantine_records.h"

#include <algorithm>
#include <cstdint>

#include "core/path_set.h"
#include "core/removal_text.h"
#include "features/disk_folders.h"
#include "features/startup_traces.h"
#include "platform/atomic_file.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/folder_listing.h"

namespace features {

std::string QuarantineFolder() { return platform::AppPath("Quarantine"); }

std::string JournalPath() { return platform::AppPath(core::kJournalFileName); }

std::vector<std::string> ListQuarantined(const std::string& quarantineFolder) {
  std::vector<std::string> names = platform::ListEveryFile(quarantineFolder);
  names.erase(std::remove_if(names.begin(), names.end(), [](const std::string& name) {
                return core::IsUnfinishedCopyName(name);
              }),
              names.end());
  return names;
}

bool IdentityOf(const std::string& path, core::FileIdentity& identity) {
  return platform::SizeAndWriteTime(path, identity.size, identity.writeTime);
}

namespace {

// Long enough for another copy's rewrite of a large journal; a removal that
// waits longer fails and leaves its file in place.
constexpr unsigned kJournalLockWaitMs = 2000;

// Every change to the journal is made under this lock: another running copy
// that rewrote it meanwhile would drop what this one appended.
platform::FileLock LockJournal(const std::string& journalPath) {
  return platform::FileLock(journalPath + ".lock", kJournalLockWaitMs);
}

// The journal's text; of one too large to read whole, its newest lines (the
// first, cut off, is passed over as damaged).
bool ReadJournal(const std::string& journalPath, std::string& text) {
  switch (platform::ReadFileBytes(journalPath, text, core::kLargestJournal)) {
    case platform::ReadResult::Ok:
      return true;
    case platform::ReadResult::TooLarge:
      if (platform::ReadFileEnd(journalPath, static_cast<size_t>(core::kLargestJournal), text) !=
          platform::ReadResult::Ok) {
        return false;
      }
      text.erase(0, text.find('\n') == std::string::npos ? text.size() : text.find('\n') + 1);
      return true;
    case platform::ReadResult::NotFound:
    case platform::ReadResult::Failed:
      break;
  }
  return false;
}

}  // namespace

bool AppendToJournal(const std::string& journalPath, const std::string& lines) {
  const platform::FileLock lock = LockJournal(journalPath);
  if (lock.state() == platform::FileLock::State::Busy) return false;
  return platform::AppendLine(journalPath, lines);
}

bool RecordQuarantined(const std::string& journalPath, const std::vector<core::JournalRecord>& records) {
  std::string lines;
  for (const core::JournalRecord& record : records) lines += core::FormatJournalLine(record);
  return lines.empty() || AppendToJournal(journalPath, lines);
}

bool RecordQuarantined(const std::string& journalPath, const core::JournalRecord& record) {
  return RecordQuarantined(journalPath, std::vector<core::JournalRecord>{record});
}

std::vector<core::JournalRecord> ReadQuarantineRecords(const std::string& journalPath) {
  std::string text;
  if (!ReadJournal(journalPath, text)) return {};
  return core::ParseJournal(text);
}

bool JournalIsTooLarge(const std::string& journalPath) {
  uint64_t size = 0, writeTime = 0;
  return platform::SizeAndWriteTime(journalPath, size, writeTime) && size > core::kLargestJournal;
}

namespace {

// A file whose identity cannot be read matches only a record without one.
core::FileIdentity IdentityInQuarantine(const std::string& path) {
  core::FileIdentity identity;
  if (!IdentityOf(path, identity)) identity = {UINT64_MAX, UINT64_MAX};
  return identity;
}

}  // namespace

std::optional<core::JournalRecord> RecordOf(const std::vector<core::JournalRecord>& records,
                                            const std::string& quarantinedName, const std::string& quarantineFolder) {
  const core::JournalRecord* record = core::FindJournalRecord(
      records, quarantinedName, IdentityInQuarantine(quarantineFolder + "\\" + quarantinedName));
  if (record == nullptr) return std::nullopt;
  return *record;
}

bool ForgetQuarantined(const std::vector<core::JournalRecord>& records, const std::string& journalPath,
                       const std::vector<core::RestoreNote>& notes) {
  if (records.empty() && notes.empty()) return true;
  const platform::FileLock lock = LockJournal(journalPath);
  if (lock.state() == platform::FileLock::State::Busy) return false;
  std::string text;
  // One too large to read is never rewritten: its records of files gone
  // match no file in quarantine, so no restore follows them.
  if (platform::ReadFileBytes(journalPath, text, core::kLargestJournal) != platform::ReadResult::Ok) return false;
  const std::string kept = core::JournalWithout(text, records, notes);
  if (kept == text) return true;
  // Written whole or not at all.
  std::string error;
  return platform::WriteFileAtomically(journalPath, kept, error);
}

bool GiveCopyItsName(const std::string& unfinished, core::JournalRecord& record, const std::string& quarantineFolder,
                     const std::string& journalPath) {
  const std::string named = quarantineFolder + "\\" + record.quarantinedName;
  switch (platform::RenameWithoutReplacing(unfinished, named)) {
    case platform::MoveResult::Moved:
      return true;
    case platform::MoveResult::Failed:
      return false;
    case platform::MoveResult::TargetTaken:
      break;
  }
  // Another file took the name meanwhile: the copy takes the next free one,
  // recorded before its old record goes.
  for (int number = 2; number <= 10000; ++number) {
    const std::string candidate = core::NumberedPath(named, number);
    const platform::MoveResult moved = platform::RenameWithoutReplacing(unfinished, candidate);
    if (moved == platform::MoveResult::Failed) return false;
    if (moved == platform::MoveResult::TargetTaken) continue;
    core::JournalRecord renamed = record;
    renamed.quarantinedName = std::string(core::FileNameOf(candidate));
    RecordQuarantined(journalPath, renamed);
    ForgetQuarantined({record}, journalPath);
    record = renamed;
    return true;
  }
  return false;
}

namespace {

// The record whose finished copy an unfinished one is to become.
const core::JournalRecord* RecordOfUnfinished(const std::vector<core::JournalRecord>& records,
                                              const std::string& quarantineFolder, const std::string& unfinished) {
  const core::FileIdentity identity = IdentityInQuarantine(unfinished);
  const std::string wanted = FoldFileName(unfinished);
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (record->identified && core::RecordMatches(*record, identity) &&
        FoldFileName(core::UnfinishedCopyPath(quarantineFolder + "\\" + record->quarantinedName)) == wanted) {
      return &*record;
    }
  }
  return nullptr;
}

bool SameIdentity(const std::string& path, const core::FileIdentity& identity) {
  core::FileIdentity present;
  return IdentityOf(path, present) && present.size == identity.size && present.writeTime == identity.writeTime;
}

}  // namespace

platform::FileLock MarkWorkUnderWay(const std::string& journalPath) {
  return platform::FileLock(journalPath + ".work", 0);
}

void PutRightInterruptedWork(const std::string& quarantineFolder, const std::string& journalPath) {
  // What another running copy is doing is no leftover.
  const platform::FileLock work(journalPath + ".work", 0);
  if (work.state() == platform::FileLock::State::Busy) return;
  {
    // A rewrite cut short leaves its temporary file beside the journal.
    const platform::FileLock lock = LockJournal(journalPath);
    if (lock.state() == platform::FileLock::State::Held) platform::DeleteEvenIfReadOnly(journalPath + ".part");
  }
  std::vector<std::string> unfinished;
  for (const std::string& name : platform::ListEveryFile(quarantineFolder)) {
    if (core::IsUnfinishedCopyName(name)) unfinished.push_back(quarantineFolder + "\\" + name);
  }
  std::string text;
  const bool read = ReadJournal(journalPath, text);
  const std::vector<core::RestoreNote> notes = core::ParseRestoreNotes(text);
  if (unfinished.empty() && notes.empty()) return;
  const std::vector<core::JournalRecord> records = core::ParseJournal(text);
  std::vector<core::JournalRecord> dropped;

  // A removal stopped before its original went is undone; one stopped after
  // is finished. An unfinished copy without a record was never more.
  for (const std::string& copy : unfinished) {
    const core::JournalRecord* found = read ? RecordOfUnfinished(records, quarantineFolder, copy) : nullptr;
    if (found == nullptr) {
      platform::DeleteEvenIfReadOnly(copy);
      continue;
    }
    core::JournalRecord record = *found;
    const std::string original = core::PlainPath(record.originalPath);
    if (platform::KindOfPath(original) == platform::PathKind::PlainFile && platform::SameContent(original, copy)) {
      if (platform::DeleteEvenIfReadOnly(copy)) dropped.push_back(record);
      continue;
    }
    RemoveStartupTraces(record.startupTraces);
    GiveCopyItsName(copy, record, quarantineFolder, journalPath);
  }

  // A restore stopped while its file was still in quarantine is undone (the
  // copy it made goes, the same bytes only); one stopped after is finished.
  for (const core::RestoreNote& note : notes) {
    const std::string quarantined = quarantineFolder + "\\" + note.quarantinedName;
    const core::JournalRecord* record = core::FindJournalRecord(records, note.quarantinedName, note.file);
    if (SameIdentity(quarantined, note.file)) {
      platform::DeleteEvenIfReadOnly(note.unfinishedPath);
      if (platform::KindOfPath(note.targetPath) == platform::PathKind::PlainFile &&
          platform::SameContent(note.targetPath, quarantined)) {
        platform::DeleteEvenIfReadOnly(note.targetPath);
      }
    } else if (record != nullptr) {
      const std::string original = core::PlainPath(record->originalPath);
      if (FoldFileName(original) == FoldFileName(note.targetPath)) {
        const std::string spare = core::SiblingCopyPath(original);
        if (FoldFileName(spare) != FoldFileName(original) && platform::SameContent(spare, original)) {
          platform::DeleteEvenIfReadOnly(spare);
        }
        RestoreStartupTraces(TracesStarting(record->startupTraces, note.targetPath));
      }
      dropped.push_back(*record);
    }
  }
  ForgetQuarantined(dropped, journalPath, notes);
}

void PrepareProgramFolders() {
  platform::CreateFolder(QuarantineFolder());
  PutRightInterruptedWork(QuarantineFolder(), JournalPath());
  platform::CreateFolder(platform::AppPath("Reports"));
}

void DeleteQuarantined(const std::vector<std::string>& names, const DeletionStepObserver& observe) {
  const std::vector<core::JournalRecord> records = ReadQuarantineRecords();
  std::vector<core::JournalRecord> deleted;
  for (const std::string& name : names) {
    // Known before the file goes: its record is the one that matches it.
    const std::optional<core::JournalRecord> record = RecordOf(records, name);
    if (observe) observe(DeletionStep::DeleteFile);
    if (platform::DeleteEvenIfReadOnly(QuarantineFolder() + "\\" + name) && record) deleted.push_back(*record);
  }
  // A stop before this leaves records whose files are gone: they match no
  // file in quarantine, and no restore follows them.
  if (observe) observe(DeletionStep::ForgetRecords);
  ForgetQuarantined(deleted);
}

std::string QuarantineDetails(const std::vector<std::string>& names) {
  const std::vector<core::JournalRecord> records = ReadQuarantineRecords();
  std::string text;
  for (const std::string& name : names) {
    if (!text.empty()) text += "\r\n\r\n";
    text += name;
    const std::optional<core::JournalRecord> record = RecordOf(records, name);
    if (!record) {
      text += "\r\nNo record of where this file came from.";
      continue;
    }
    text += "\r\nOriginal location: " + record->originalPath;
    text += "\r\nQuarantined: " + record->quarantinedAt;
    text += "\r\nDetected as: " + record->description;
  }
  return text;
}

}  // namespace features
