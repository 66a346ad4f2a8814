#include "features/quarantine_records.h"

#include <algorithm>
#include <cstdint>

#include "core/removal_text.h"
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

void RemoveUnfinishedCopies(const std::string& quarantineFolder) {
  for (const std::string& name : platform::ListEveryFile(quarantineFolder)) {
    if (core::IsUnfinishedCopyName(name)) platform::DeleteEvenIfReadOnly(quarantineFolder + "\\" + name);
  }
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

}  // namespace

bool RecordQuarantined(const std::string& journalPath, const core::JournalRecord& record) {
  const platform::FileLock lock = LockJournal(journalPath);
  if (lock.state() == platform::FileLock::State::Busy) return false;
  return platform::AppendLine(journalPath, core::FormatJournalLine(record));
}

std::vector<core::JournalRecord> ReadQuarantineRecords(const std::string& journalPath) {
  std::string text;
  if (platform::ReadFileBytes(journalPath, text, core::kLargestJournal) != platform::ReadResult::Ok) return {};
  return core::ParseJournal(text);
}

namespace {

// A file whose identity cannot be read matches only a record without one.
core::FileIdentity IdentityInQuarantine(const std::string& quarantinedName) {
  core::FileIdentity identity;
  if (!IdentityOf(QuarantineFolder() + "\\" + quarantinedName, identity)) identity = {UINT64_MAX, UINT64_MAX};
  return identity;
}

}  // namespace

std::optional<core::JournalRecord> RecordOf(const std::vector<core::JournalRecord>& records,
                                            const std::string& quarantinedName) {
  const core::JournalRecord* record =
      core::FindJournalRecord(records, quarantinedName, IdentityInQuarantine(quarantinedName));
  if (record == nullptr) return std::nullopt;
  return *record;
}

void ForgetQuarantined(const std::vector<core::JournalRecord>& records, const std::string& journalPath) {
  if (records.empty()) return;
  const platform::FileLock lock = LockJournal(journalPath);
  if (lock.state() == platform::FileLock::State::Busy) return;
  std::string text;
  if (platform::ReadFileBytes(journalPath, text, core::kLargestJournal) != platform::ReadResult::Ok) return;
  const std::string kept = core::JournalWithout(text, records);
  if (kept == text) return;
  // Written whole or not at all; a record left behind by a failure matches
  // no file in quarantine, so no restore follows it.
  std::string error;
  platform::WriteFileAtomically(journalPath, kept, error);
}

void PrepareProgramFolders() {
  platform::CreateFolder(QuarantineFolder());
  RemoveUnfinishedCopies(QuarantineFolder());
  platform::CreateFolder(platform::AppPath("Reports"));
}

void DeleteQuarantined(const std::vector<std::string>& names) {
  const std::vector<core::JournalRecord> records = ReadQuarantineRecords();
  std::vector<core::JournalRecord> deleted;
  for (const std::string& name : names) {
    // Known before the file goes: its record is the one that matches it.
    const std::optional<core::JournalRecord> record = RecordOf(records, name);
    if (platform::DeleteEvenIfReadOnly(QuarantineFolder() + "\\" + name) && record) deleted.push_back(*record);
  }
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
