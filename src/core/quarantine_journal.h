// The quarantine journal: one UTF-8 line for each file moved into quarantine,
// naming where it came from, so that it can be put back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

// The journal file beside the Quarantine folder (never inside it: the
// Quarantine tab lists every file there).
constexpr const char* kJournalFileName = "Quarantine.journal";

struct JournalRecord {
  std::string quarantinedName;  // the file's name inside the Quarantine folder
  std::string originalPath;     // where it was found
  std::string quarantinedAt;    // date and time, as the user's settings write them
  std::string description;      // the detection's description
};

// The record as one line, ending in CR LF. Fields are separated by tabs;
// paths cannot hold tabs or line breaks, and any in the other fields become
// blanks, so a line always reads back as the record it was written from.
std::string FormatJournalLine(const JournalRecord& record);

// Every complete, well-formed record of a journal in file order. A line only
// counts when it ends in CR LF, so a line cut short by a crash is passed over
// like any other damaged one.
std::vector<JournalRecord> ParseJournal(std::string_view text);

// The latest record for a quarantined name (compared ignoring ASCII case, as
// the file system does), or null.
const JournalRecord* FindJournalRecord(const std::vector<JournalRecord>& records, std::string_view quarantinedName);

// The journal rewritten without the records of the given names; damaged lines
// are dropped too.
std::string JournalWithout(std::string_view text, const std::vector<std::string>& quarantinedNames);

}  // namespace core
