#include "features/quarantine_records.h"

#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace features {
namespace {

std::string JournalPath() { return platform::AppPath(core::kJournalFileName); }

}  // namespace

std::string QuarantineFolder() { return platform::AppPath("Quarantine"); }

void RecordQuarantined(std::string_view quarantinedName, const std::string& originalPath,
                       const std::string& description) {
  platform::AppendLine(JournalPath(), core::FormatJournalLine({std::string(quarantinedName), originalPath,
                                                         platform::GeneralDate(platform::Now()), description}));
}

std::vector<core::JournalRecord> ReadQuarantineRecords() {
  std::string text;
  if (platform::ReadFileBytes(JournalPath(), text) != platform::ReadResult::Ok) return {};
  return core::ParseJournal(text);
}

void ForgetQuarantined(const std::vector<std::string>& quarantinedNames) {
  if (quarantinedNames.empty()) return;
  std::string text;
  if (platform::ReadFileBytes(JournalPath(), text) != platform::ReadResult::Ok) return;
  const std::string kept = core::JournalWithout(text, quarantinedNames);
  if (kept == text) return;
  // Written whole or not at all; a record left behind by a failure names a
  // file that is gone, which a restore reports like any other missing file.
  std::string error;
  platform::WriteFileAtomically(JournalPath(), kept, error);
}

}  // namespace features
