#include "removal/quarantine_records.h"

#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/restore_files.h"

namespace removal {
namespace {

std::string JournalPath() { return platform::AppPath(kJournalFileName); }

}  // namespace

void RecordQuarantined(std::string_view quarantinedName, const std::string& originalPath,
                       const std::string& description) {
  platform::AppendLine(JournalPath(), FormatJournalLine({std::string(quarantinedName), originalPath,
                                                         platform::GeneralDate(platform::Now()), description}));
}

std::vector<JournalRecord> ReadQuarantineRecords() {
  std::string text;
  if (platform::ReadFileBytes(JournalPath(), text) != platform::ReadResult::Ok) return {};
  return ParseJournal(text);
}

void ForgetQuarantined(const std::vector<std::string>& quarantinedNames) {
  if (quarantinedNames.empty()) return;
  std::string text;
  if (platform::ReadFileBytes(JournalPath(), text) != platform::ReadResult::Ok) return;
  const std::string kept = JournalWithout(text, quarantinedNames);
  if (kept == text) return;
  // Written whole or not at all; a record left behind by a failure names a
  // file that is gone, which a restore reports like any other missing file.
  std::string error;
  platform::WriteFileAtomically(JournalPath(), kept, error);
}

}  // namespace removal
