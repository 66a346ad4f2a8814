// The program's quarantine journal: recording a quarantined file, reading the
// records back, and forgetting the files that have left the quarantine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/quarantine_journal.h"

namespace features {

// The Quarantine folder beside the program.
std::string QuarantineFolder();

// Records a file just moved into quarantine under `quarantinedName`. A
// record that cannot be written costs only the automatic way back: Restore
// To... still works.
void RecordQuarantined(std::string_view quarantinedName, const std::string& originalPath,
                       const std::string& description);

// Every readable record; none when there is no journal yet.
std::vector<core::JournalRecord> ReadQuarantineRecords();

// Drops the records of files that are no longer in quarantine.
void ForgetQuarantined(const std::vector<std::string>& quarantinedNames);

}  // namespace features
