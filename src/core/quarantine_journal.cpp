#include "core/quarantine_journal.h"

#include "core/removal_text.h"

namespace core {
namespace {

constexpr char kSeparator = '\t';
constexpr size_t kFieldCount = 4;

std::string Sanitized(std::string_view field) {
  std::string text(field);
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return text;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool ParseLine(std::string_view line, JournalRecord& record) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find(kSeparator, start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  if (fields.size() != kFieldCount) return false;
  // A name with a folder in it could lead a restore out of the Quarantine
  // folder; a path without a folder has nowhere to go back to.
  if (fields[0].empty() || fields[0].find_first_of("\\/:") != std::string_view::npos) return false;
  if (fields[1].find('\\') == std::string_view::npos || FileNameOf(fields[1]).empty()) return false;
  for (std::string_view field : fields) {
    for (char c : field) {
      if (static_cast<unsigned char>(c) < 0x20) return false;
    }
  }
  record = {std::string(fields[0]), std::string(fields[1]), std::string(fields[2]), std::string(fields[3])};
  return true;
}

// Calls `visit(line, record)` for every complete line, with `valid` telling
// whether it parsed.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    if (end == std::string_view::npos) break;
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    JournalRecord record;
    const bool complete = !line.empty() && line.back() == '\r';
    visit(record, complete && ParseLine(line.substr(0, line.size() - 1), record));
  }
}

}  // namespace

std::string FormatJournalLine(const JournalRecord& record) {
  return Sanitized(record.quarantinedName) + kSeparator + Sanitized(record.originalPath) + kSeparator +
         Sanitized(record.quarantinedAt) + kSeparator + Sanitized(record.description) + "\r\n";
}

std::vector<JournalRecord> ParseJournal(std::string_view text) {
  std::vector<JournalRecord> records;
  ForEachLine(text, [&](JournalRecord& record, bool valid) {
    if (valid) records.push_back(std::move(record));
  });
  return records;
}

const JournalRecord* FindJournalRecord(const std::vector<JournalRecord>& records, std::string_view quarantinedName) {
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (EqualIgnoringAsciiCase(record->quarantinedName, quarantinedName)) return &*record;
  }
  return nullptr;
}

std::string JournalWithout(std::string_view text, const std::vector<std::string>& quarantinedNames) {
  std::string kept;
  ForEachLine(text, [&](const JournalRecord& record, bool valid) {
    if (!valid) return;
    for (const std::string& name : quarantinedNames) {
      if (EqualIgnoringAsciiCase(record.quarantinedName, name)) return;
    }
    kept += FormatJournalLine(record);
  });
  return kept;
}

}  // namespace core
