// Restoring by a journal that any user could have edited: a record leads
// into the Windows or a Program Files folder only once the user says yes,
// and only the log-on entries that start the restored file come back.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/quarantine_journal.h"
#include "core/startup_traces.h"
#include "features/quarantine_records.h"
#include "features/restore.h"
#include "platform/atomic_file.h"
#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/startup_entries.h"
#include "platform/system.h"
#include "platform/text.h"
#include "remove_tree.h"

namespace {

using platform::Widen;

class SystemFolderQuestions : public features::RestoreQuestions {
 public:
  explicit SystemFolderQuestions(bool answer) : answer_(answer) {}
  std::optional<std::string> ChooseFolder(bool) override { return std::nullopt; }
  bool RestoreBeside(const std::string&, const std::string&) override { return false; }
  bool RestoreIntoSystemFolder(const std::string& target, const std::string&) override {
    asked.push_back(target);
    return answer_;
  }
  std::vector<std::string> asked;

 private:
  bool answer_;
};

// The program's own quarantine is this test program's, beside it.
class RestoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Clear();
    CreateDirectoryW(Widen(features::QuarantineFolder()).c_str(), nullptr);
  }
  void TearDown() override { Clear(); }
  void Clear() {
    RemoveTree(Widen(features::QuarantineFolder()));
    DeleteFileW(Widen(features::JournalPath()).c_str());
  }

  // A file in quarantine with a record of `original`: of an earlier release
  // (four fields) unless `identified`.
  core::JournalRecord Quarantined(const std::string& name, const std::string& original, bool identified,
                                  const std::vector<core::StartupTrace>& traces = {}) {
    const std::string path = features::QuarantineFolder() + "\\" + name;
    std::string error;
    EXPECT_TRUE(platform::WriteFileAtomically(path, "quarantined " + name, error)) << error;
    core::JournalRecord record{name, original, "today", "Adware"};
    record.identified = identified;
    record.startupTraces = traces;
    EXPECT_TRUE(features::IdentityOf(path, record.file));
    EXPECT_TRUE(features::RecordQuarantined(features::JournalPath(), record));
    return record;
  }
};

TEST_F(RestoreTest, IntoTheSystemsFoldersOnlyOnceTheUserSaysSo) {
  const std::vector<std::string> programFiles = platform::ProgramFilesFolders();
  ASSERT_FALSE(programFiles.empty());
  const std::string system = platform::SystemDirectory() + "\\pwtest-restored.dll";
  const std::string program = programFiles.front() + "\\pwtest\\restored.exe";
  const std::string plain = "C:\\pwtest\\win32-restore\\restored.exe";
  const struct {
    const char* name;
    std::string target;
    bool identified;
    bool answer;
    bool asked;
  } rows[] = {
      {"old.dll", system, false, false, true},    {"new.exe", program, true, false, true},
      {"old.dll", system, false, true, true},     {"new.exe", program, true, true, true},
      {"plain.exe", plain, true, false, false},
  };
  for (const auto& row : rows) {
    Quarantined(row.name, row.target, row.identified);
    SystemFolderQuestions questions(row.answer);
    const features::RestoreOutcome outcome = features::RestoreQuarantined({row.name}, false, questions);
    EXPECT_EQ(questions.asked, row.asked ? std::vector<std::string>{row.target} : std::vector<std::string>{})
        << row.target;
    const bool restored = row.answer || !row.asked;
    EXPECT_EQ(outcome.restored.size(), restored ? 1u : 0u) << row.target;
    EXPECT_TRUE(outcome.failed.empty()) << row.target;
    EXPECT_EQ(platform::PathExists(row.target), restored) << row.target;
    EXPECT_EQ(platform::PathExists(features::QuarantineFolder() + "\\" + row.name), !restored) << row.target;
    platform::DeleteEvenIfReadOnly(row.target);
    Clear();
    CreateDirectoryW(Widen(features::QuarantineFolder()).c_str(), nullptr);
  }
  RemoveTree(Widen(programFiles.front() + "\\pwtest"));
  RemoveTree(L"C:\\pwtest\\win32-restore");
}

TEST_F(RestoreTest, OnlyTheEntriesThatStartTheRestoredFileComeBack) {
  const std::vector<std::string> startup = platform::StartupFolders();
  ASSERT_FALSE(startup.empty());
  const std::string target = "C:\\pwtest\\win32-restore-traces\\tool.exe";
  const std::string runKey = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string suffix = " " + std::to_string(GetCurrentProcessId());
  using Kind = core::StartupTrace::Kind;
  const core::StartupTrace own{Kind::RunValue, runKey, "pwtest tool" + suffix, REG_SZ, "\"" + target + "\" /tray"};
  // Appended to a valid record by hand.
  const core::StartupTrace evilValue{Kind::RunValue, runKey, "TP_EVIL" + suffix, REG_SZ, "C:\\evil\\evil.exe"};
  const core::StartupTrace evilShortcut{Kind::Shortcut, startup.front() + "\\pwtest evil" + suffix + ".lnk", "", 0,
                                        "\x01\x02\x03"};
  Quarantined("tool.exe", target, true, {own, evilValue, evilShortcut});

  SystemFolderQuestions questions(false);
  const features::RestoreOutcome outcome = features::RestoreQuarantined({"tool.exe"}, false, questions);
  EXPECT_EQ(outcome.restored, std::vector<std::string>{"tool.exe"});
  EXPECT_EQ(outcome.tracesNotRestored, (std::vector<std::string>{core::DescribeStartupTrace(evilValue),
                                                                  core::DescribeStartupTrace(evilShortcut)}));
  std::vector<std::string> names;
  for (const platform::LogOnValue& value : platform::ListLogOnValues()) names.push_back(value.name);
  EXPECT_NE(std::find(names.begin(), names.end(), own.name), names.end());
  EXPECT_EQ(std::find(names.begin(), names.end(), evilValue.name), names.end());
  EXPECT_FALSE(platform::PathExists(evilShortcut.where));
  EXPECT_TRUE(platform::ListEveryFile(features::QuarantineFolder()).empty());
  platform::DeleteLogOnValue(runKey, own.name);
  platform::DeleteLogOnValue(runKey, evilValue.name);
  platform::DeleteEvenIfReadOnly(evilShortcut.where);
  RemoveTree(L"C:\\pwtest\\win32-restore-traces");
}

}  // namespace
