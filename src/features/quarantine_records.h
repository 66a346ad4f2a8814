// The program's quarantine folder and journal: listing what is in
// quarantine, recording quarantined files, reading the records back,
// forgetting the files that have left the quarantine, and putting right
// what a stop in the middle of that work left.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/quarantine_journal.h"
#include "platform/file_lock.h"

namespace features {

// The Quarantine folder and its journal beside the program.
std::string QuarantineFolder();
std::string JournalPath();

// Every file in a quarantine folder, hidden and system ones too (copies of
// earlier releases kept such marks), but never an unfinished copy.
std::vector<std::string> ListQuarantined(const std::string& quarantineFolder);

// Puts right what a quarantine or a restore stopped part-way (a crash, a
// power cut, the program ended) left in this folder and journal: each is
// finished or undone, so that every file is whole at its place, or in
// quarantine with its record, and nothing else is left.
void PutRightInterruptedWork(const std::string& quarantineFolder, const std::string& journalPath);

// Held while a quarantine or a restore runs (another running copy of the
// program may hold it as well): start-up leaves unfinished copies and notes
// alone while any running copy holds it.
platform::FileLock MarkWorkUnderWay(const std::string& journalPath);

// Makes the Quarantine and Reports folders beside the program where they
// are missing, and puts right what a stop left in the quarantine.
void PrepareProgramFolders();

// The identity of a file as records note it; false when it cannot be read.
bool IdentityOf(const std::string& path, core::FileIdentity& identity);

// Appends the records in one write and flushes them; false when they are
// not surely on disk (any of them may be there all the same).
bool RecordQuarantined(const std::string& journalPath, const std::vector<core::JournalRecord>& records);
bool RecordQuarantined(const std::string& journalPath, const core::JournalRecord& record);

// Appends a line to the journal under its lock and flushes it.
bool AppendToJournal(const std::string& journalPath, const std::string& lines);

// Every readable record; none when there is no journal yet. Of a journal
// larger than core::kLargestJournal only its newest records are read.
std::vector<core::JournalRecord> ReadQuarantineRecords(const std::string& journalPath = JournalPath());
// Whether the journal is larger than core::kLargestJournal.
bool JournalIsTooLarge(const std::string& journalPath = JournalPath());

// The latest of `records` that matches a file in the quarantine folder, or
// nothing.
std::optional<core::JournalRecord> RecordOf(const std::vector<core::JournalRecord>& records,
                                            const std::string& quarantinedName,
                                            const std::string& quarantineFolder = QuarantineFolder());

// Renames an unfinished copy to the name its record gives; when another
// file took that name meanwhile, to the first free numbered one, recorded
// anew. False when the copy keeps its unfinished name.
bool GiveCopyItsName(const std::string& unfinished, core::JournalRecord& record, const std::string& quarantineFolder,
                     const std::string& journalPath);

// The steps of Delete Selected, in order.
enum class DeletionStep {
  DeleteFile,     // each selected file in turn
  ForgetRecords,  // their records, in one rewrite of the journal
};
using DeletionStepObserver = std::function<void(DeletionStep)>;

// The Details text of quarantined files: for each, where it came from, when
// and as what, or that no record says so.
std::string QuarantineDetails(const std::vector<std::string>& names);

// Deletes the quarantined files `names` for good, with their records. A
// read-only copy is deleted all the same; one in use or already gone is
// passed over. `observe` is called before each step.
void DeleteQuarantined(const std::vector<std::string>& names, const DeletionStepObserver& observe = {});

// Drops these records and notes, as the journal holds them at this moment;
// any other line stays as it was. False when the journal could not be
// rewritten.
bool ForgetQuarantined(const std::vector<core::JournalRecord>& records, const std::string& journalPath = JournalPath(),
                       const std::vector<core::RestoreNote>& notes = {});

}  // namespace features
