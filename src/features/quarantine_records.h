// The program's quarantine folder and journal: listing what is in
// quarantine, recording a quarantined file, reading the records back, and
// forgetting the files that have left the quarantine.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/quarantine_journal.h"

namespace features {

// The Quarantine folder and its journal beside the program.
std::string QuarantineFolder();
std::string JournalPath();

// Every file in a quarantine folder, hidden and system ones too (copies of
// earlier releases kept such marks), but never an unfinished copy.
std::vector<std::string> ListQuarantined(const std::string& quarantineFolder);

// Deletes the unfinished copies that a removal cut short by a crash left.
void RemoveUnfinishedCopies(const std::string& quarantineFolder);

// Makes the Quarantine and Reports folders beside the program where they
// are missing, and clears away what a crash left in the quarantine.
void PrepareProgramFolders();

// The identity of a file as records note it; false when it cannot be read.
bool IdentityOf(const std::string& path, core::FileIdentity& identity);

// Appends a record and flushes it; false when it is not surely on disk.
bool RecordQuarantined(const std::string& journalPath, const core::JournalRecord& record);

// Every readable record; none when there is no journal yet.
std::vector<core::JournalRecord> ReadQuarantineRecords(const std::string& journalPath = JournalPath());

// The latest of `records` that matches a file in the program's quarantine
// folder, or nothing.
std::optional<core::JournalRecord> RecordOf(const std::vector<core::JournalRecord>& records,
                                            const std::string& quarantinedName);

// The Details text of quarantined files: for each, where it came from, when
// and as what, or that no record says so.
std::string QuarantineDetails(const std::vector<std::string>& names);

// Deletes the quarantined files `names` for good, with their records. A
// read-only copy is deleted all the same; one in use or already gone is
// passed over.
void DeleteQuarantined(const std::vector<std::string>& names);

// Drops these records, as the journal holds them at this moment; any other
// line stays as it was.
void ForgetQuarantined(const std::vector<core::JournalRecord>& records, const std::string& journalPath = JournalPath());

}  // namespace features
