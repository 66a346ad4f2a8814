// The quarantine journal: one UTF-8 line for each file moved into quarantine,
// naming where it came from, so that it can be put back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/startup_traces.h"

namespace core {

// The journal file beside the Quarantine folder (never inside it: the
// Quarantine tab lists every file there).
constexpr const char* kJournalFileName = "Quarantine.journal";
// Far more than a lifetime of records; a larger journal is not read at all
// (and never rewritten), rather than exhausting the program's memory.
constexpr uint64_t kLargestJournal = 64ull * 1024 * 1024;

// What tells one quarantined file from another of the same name: its size
// and its last-write time (100 ns ticks since 1601, as the system counts).
struct FileIdentity {
  uint64_t size = 0;
  uint64_t writeTime = 0;
};

struct JournalRecord {
  std::string quarantinedName;  // the file's name inside the Quarantine folder
  std::string originalPath;     // where it was found
  std::string quarantinedAt;    // date and time, as the user's settings write them
  std::string description;      // the detection's description
  // Records written by earlier releases carry no identity; they are known
  // by their name alone.
  bool identified = false;
  FileIdentity file = {};         // the quarantined copy
  uint64_t quarantinedTicks = 0;  // when it was quarantined, in system ticks
  // The log-on values and shortcuts that started the file, taken away with
  // it (identified records only).
  std::vector<StartupTrace> startupTraces = {};
  // The read-only, hidden and system marks the file had (its attribute
  // bits), cleared on its copy and put back on restore.
  uint32_t marks = 0;
};

// A restore under way, noted in the journal before its copy is made: the
// file in quarantine (its name and identity), the unfinished copy and the
// path it is to take. Start-up finishes or undoes the restore a stop left.
struct RestoreNote {
  std::string quarantinedName;
  FileIdentity file = {};
  std::string unfinishedPath;
  std::string targetPath;

  bool operator==(const RestoreNote& other) const {
    return quarantinedName == other.quarantinedName && file.size == other.file.size &&
           file.writeTime == other.file.writeTime && unfinishedPath == other.unfinishedPath &&
           targetPath == other.targetPath;
  }
};

// The record as one line, ending in CR LF. Fields are separated by tabs;
// paths cannot hold tabs or line breaks, and any in the other fields become
// blanks, so a line always reads back as the record it was written from.
// The identity follows the four fields earlier releases wrote, so their
// lines still read as records; the start-up traces, when there are any or
// marks follow, come after the identity, then the marks when there are any.
std::string FormatJournalLine(const JournalRecord& record);

// The note as one line ending in CR LF; no release reads it as a record.
std::string FormatRestoreNote(const RestoreNote& note);
// Every complete, well-formed note of a journal in file order.
std::vector<RestoreNote> ParseRestoreNotes(std::string_view text);

// Every complete, well-formed record of a journal in file order. A line
// counts when it ends in LF, with or without a CR before it; the last line
// without one was cut short by a crash and is passed over like any other
// damaged one.
std::vector<JournalRecord> ParseJournal(std::string_view text);

// Whether a record speaks of the file in quarantine: a record without an
// identity is taken at its name's word; a file's time may be as far off as
// a copy through FAT or a zip leaves it.
bool RecordMatches(const JournalRecord& record, const FileIdentity& file);

// The latest record for a quarantined name (compared ignoring ASCII case, as
// the file system does) that matches the file, or null.
const JournalRecord* FindJournalRecord(const std::vector<JournalRecord>& records, std::string_view quarantinedName,
                                       const FileIdentity& file);

// Whether a file may be put back at `path` without asking where: a full
// path (drive letter or network share) with no "." or ".." steps in it,
// outside the Quarantine folder.
bool IsRestorablePath(std::string_view path, std::string_view quarantineFolder);

// The journal without the given records and notes, each dropped only where
// a line holds that very record or note; every other line, understood or
// not, is kept byte for byte.
std::string JournalWithout(std::string_view text, const std::vector<JournalRecord>& records,
                           const std::vector<RestoreNote>& notes = {});

}  // namespace core
