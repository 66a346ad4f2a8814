#include "core/quarantine_journal.h"

#include <utility>

#include "core/paths.h"
#include "core/removal_text.h"

namespace core {
namespace {

constexpr char kSeparator = '\t';
constexpr size_t kOldFieldCount = 4;
constexpr size_t kFieldCount = 7;
constexpr size_t kTracesField = 7;
constexpr size_t kMarksField = 8;
constexpr std::string_view kRestoreNoteMark = "restoring";
constexpr size_t kRestoreNoteFields = 6;

std::string Sanitized(std::string_view field) {
  std::string text(field);
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return text;
}

bool ParseNumber(std::string_view text, uint64_t& number) {
  if (text.empty() || text.size() > 19) return false;
  number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + static_cast<uint64_t>(c - '0');
  }
  return true;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find(kSeparator, start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

bool ParseNote(std::string_view line, RestoreNote& note) {
  const std::vector<std::string_view> fields = Fields(line);
  if (fields.size() != kRestoreNoteFields || fields[0] != kRestoreNoteMark) return false;
  if (fields[1].empty() || fields[1].find_first_of("\\/:") != std::string_view::npos) return false;
  RestoreNote read{std::string(fields[1]), {}, std::string(fields[4]), std::string(fields[5])};
  if (!ParseNumber(fields[2], read.file.size) || !ParseNumber(fields[3], read.file.writeTime)) return false;
  note = std::move(read);
  return true;
}

bool ParseLine(std::string_view line, JournalRecord& record) {
  const std::vector<std::string_view> fields = Fields(line);
  // Fields a later release appends are passed over.
  if (fields.size() != kOldFieldCount && fields.size() < kFieldCount) return false;
  // A name with a folder in it could lead a restore out of the Quarantine
  // folder; a path without a folder has nowhere to go back to.
  if (fields[0].empty() || fields[0].find_first_of("\\/:") != std::string_view::npos) return false;
  if (fields[1].find('\\') == std::string_view::npos || FileNameOf(fields[1]).empty()) return false;
  for (std::string_view field : fields) {
    for (char c : field) {
      if (static_cast<unsigned char>(c) < 0x20) return false;
    }
  }
  // Earlier releases stored a file at a drive's root as "C:\\x.exe".
  JournalRecord read = {std::string(fields[0]), PlainPath(fields[1]), std::string(fields[2]),
                        std::string(fields[3])};
  if (fields.size() >= kFieldCount) {
    read.identified = true;
    if (!ParseNumber(fields[4], read.file.size) || !ParseNumber(fields[5], read.file.writeTime) ||
        !ParseNumber(fields[6], read.quarantinedTicks)) {
      return false;
    }
    if (fields.size() > kTracesField && !ParseStartupTraces(fields[kTracesField], read.startupTraces)) return false;
    uint64_t marks = 0;
    if (fields.size() > kMarksField) {
      if (!ParseNumber(fields[kMarksField], marks) || marks > UINT32_MAX) return false;
      read.marks = static_cast<uint32_t>(marks);
    }
  }
  record = std::move(read);
  return true;
}

// Calls `visit(whole, line, complete)` for every line: `whole` with its
// line end, the last one too when a crash cut it short (never complete
// then), and `line` without it.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    const std::string_view whole =
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end + 1 - start);
    start += whole.size();
    std::string_view line;
    if (end != std::string_view::npos) {
      line = whole.substr(0, whole.size() - 1);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    }
    visit(whole, line, end != std::string_view::npos);
  }
}

bool SameRecord(const JournalRecord& a, const JournalRecord& b) {
  return a.quarantinedName == b.quarantinedName && a.originalPath == b.originalPath &&
         a.quarantinedAt == b.quarantinedAt && a.description == b.description && a.identified == b.identified &&
         a.file.size == b.file.size && a.file.writeTime == b.file.writeTime &&
         a.quarantinedTicks == b.quarantinedTicks && a.startupTraces == b.startupTraces && a.marks == b.marks;
}

}  // namespace

std::string FormatJournalLine(const JournalRecord& record) {
  std::string line = Sanitized(record.quarantinedName) + kSeparator + Sanitized(record.originalPath) + kSeparator +
                     Sanitized(record.quarantinedAt) + kSeparator + Sanitized(record.description);
  if (record.identified) {
    line += kSeparator + std::to_string(record.file.size) + kSeparator + std::to_string(record.file.writeTime) +
            kSeparator + std::to_string(record.quarantinedTicks);
    if (!record.startupTraces.empty() || record.marks != 0) {
      line += kSeparator + FormatStartupTraces(record.startupTraces);
    }
    if (record.marks != 0) line += kSeparator + std::to_string(record.marks);
  }
  return line + "\r\n";
}

std::vector<JournalRecord> ParseJournal(std::string_view text) {
  std::vector<JournalRecord> records;
  ForEachLine(text, [&](std::string_view, std::string_view line, bool complete) {
    JournalRecord record;
    if (complete && ParseLine(line, record)) records.push_back(std::move(record));
  });
  return records;
}

std::string FormatRestoreNote(const RestoreNote& note) {
  return std::string(kRestoreNoteMark) + kSeparator + Sanitized(note.quarantinedName) + kSeparator +
         std::to_string(note.file.size) + kSeparator + std::to_string(note.file.writeTime) + kSeparator +
         Sanitized(note.unfinishedPath) + kSeparator + Sanitized(note.targetPath) + "\r\n";
}

std::vector<RestoreNote> ParseRestoreNotes(std::string_view text) {
  std::vector<RestoreNote> notes;
  ForEachLine(text, [&](std::string_view, std::string_view line, bool complete) {
    RestoreNote note;
    if (complete && ParseNote(line, note)) notes.push_back(std::move(note));
  });
  return notes;
}

namespace {

// A copy through FAT or a zip (the portable folder moved on a stick) keeps
// a file's time to 2 seconds only, and in local time, which reads back an
// hour off once summer time has begun or ended since.
bool SameWriteTime(uint64_t recorded, uint64_t actual) {
  constexpr int64_t kSecond = 10000000;  // in the 100-nanosecond ticks of file times
  constexpr int64_t kHour = 3600 * kSecond;
  const int64_t difference = static_cast<int64_t>(actual - recorded);
  for (const int64_t shift : {int64_t{0}, kHour, -kHour}) {
    if (difference - shift >= -2 * kSecond && difference - shift <= 2 * kSecond) return true;
  }
  return false;
}

}  // namespace

bool RecordMatches(const JournalRecord& record, const FileIdentity& file) {
  return !record.identified || (record.file.size == file.size && SameWriteTime(record.file.writeTime, file.writeTime));
}

const JournalRecord* FindJournalRecord(const std::vector<JournalRecord>& records, std::string_view quarantinedName,
                                       const FileIdentity& file) {
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (EqualIgnoringAsciiCase(record->quarantinedName, quarantinedName) && RecordMatches(*record, file)) {
      return &*record;
    }
  }
  return nullptr;
}

bool IsRestorablePath(std::string_view path, std::string_view quarantineFolder) {
  if (!IsFullPathOfNames(path)) return false;
  const std::string folder = WithoutTrailingSeparators(quarantineFolder);
  return !(path.size() > folder.size() && path[folder.size()] == '\\' &&
           EqualIgnoringAsciiCase(path.substr(0, folder.size()), folder));
}

std::string JournalWithout(std::string_view text, const std::vector<JournalRecord>& records,
                           const std::vector<RestoreNote>& notes) {
  std::string kept;
  ForEachLine(text, [&](std::string_view whole, std::string_view line, bool complete) {
    JournalRecord record;
    RestoreNote note;
    if (complete && ParseLine(line, record)) {
      for (const JournalRecord& dropped : records) {
        if (SameRecord(record, dropped)) return;
      }
    } else if (complete && ParseNote(line, note)) {
      for (const RestoreNote& dropped : notes) {
        if (note == dropped) return;
      }
    }
    kept += whole;
  });
  return kept;
}

}  // namespace core
