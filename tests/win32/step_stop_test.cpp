// Crash safety, step by step: quarantine, restore and Delete Selected each
// run in a copy of this program that ends itself before step k, as a kill
// would (no clean-up runs), for every k in turn. Then start-up's repair
// runs, and every file must be whole at its place or in quarantine with a
// record that restores it, with nothing else left behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/quarantine_journal.h"
#include "core/removal_text.h"
#include "features/quarantine_records.h"
#include "features/removal.h"
#include "features/restore.h"
#include "platform/atomic_file.h"
#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/handles.h"
#include "platform/text.h"
#include "remove_tree.h"
#include "step_stops.h"

namespace {

constexpr const char* kStopArgument = "/stop-at-step";

// Answers yes to putting a file beside a taken name, and no to the system's
// folders (which no file of these tests comes from).
class YesQuestions : public features::RestoreQuestions {
 public:
  std::optional<std::string> ChooseFolder(bool) override { return std::nullopt; }
  bool RestoreBeside(const std::string&, const std::string&) override { return true; }
  bool RestoreIntoSystemFolder(const std::string&, const std::string&) override { return false; }
};

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

bool IsStoppedOperation(const std::vector<std::string>& arguments) {
  return arguments.size() == 3 && arguments[0] == kStopArgument;
}

int RunStoppedOperation(const std::vector<std::string>& arguments) {
  const std::string& operation = arguments[1];
  const int stopAt = std::stoi(arguments[2]);
  int steps = 0;
  const auto step = [&] {
    if (++steps == stopAt) TerminateProcess(GetCurrentProcess(), 99);
  };
  const std::string application = platform::ApplicationFolder();
  const std::vector<std::string> quarantined = Sorted(features::ListQuarantined(features::QuarantineFolder()));
  if (operation == "quarantine") {
    std::vector<core::Detection> detections;
    std::vector<size_t> marked;
    for (const std::string& name : Sorted(platform::ListEveryFile(application + "\\victims"))) {
      marked.push_back(detections.size());
      detections.push_back({application + "\\victims\\" + name, "Adware"});
    }
    features::QuarantineDetections(detections, marked, application, {}, [&](features::RemovalStep) { step(); });
  } else if (operation == "restore") {
    YesQuestions questions;
    features::RestoreQuarantined(quarantined, false, questions, {}, [&](features::RestoreStep) { step(); });
  } else if (operation == "delete") {
    features::DeleteQuarantined(quarantined, [&](features::DeletionStep) { step(); });
  }
  return steps;
}

namespace {

using platform::Narrow;
using platform::Widen;

struct Victim {
  const char* name;
  size_t size;
  DWORD marks;
};

// "held.exe" is held open by the test, without leave to delete it: its
// removal, its restore or its deletion fails midway and must be undone.
// The last one is in quarantine before each operation, so that the first
// one's copy must take another name.
constexpr Victim kVictims[] = {
    {"victims\\a.exe", 70000, 0},
    {"victims\\b.dll", 3000, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN},
    {"victims\\c.exe", 1, 0},
    {"victims\\held.exe", 500, 0},
    {"earlier\\a.exe", 20, 0},
};
constexpr size_t kHeld = 3;
constexpr size_t kEarlier = 4;

// What each operation starts from, and how the test holds its file
// meanwhile: a program that lets others delete it must not have the file
// deleted under it once the copy in quarantine is gone again.
struct OperationRow {
  const char* name;
  bool startsQuarantined;  // the victims are quarantined before it runs
  DWORD heldSharing;
};

const OperationRow kOperations[] = {
    {"quarantine", false, FILE_SHARE_READ | FILE_SHARE_DELETE},
    {"restore", true, FILE_SHARE_READ},
    {"delete", true, FILE_SHARE_READ},
};

std::string Content(size_t index) { return std::string(kVictims[index].size, static_cast<char>('a' + index)); }

class StepStopTest : public ::testing::TestWithParam<OperationRow> {
 protected:
  void SetUp() override {
    CreateDirectoryW(L"C:\\pwtest", nullptr);
    folder_ = "C:\\pwtest\\win32-steps-" + std::string(GetParam().name);
    RemoveTree(Widen(folder_));
    ASSERT_TRUE(CreateDirectoryW(Widen(folder_).c_str(), nullptr));
    program_ = folder_ + "\\pw_steps.exe";
    ASSERT_TRUE(CopyFileW(Widen(platform::ModulePath()).c_str(), Widen(program_).c_str(), FALSE));
  }
  void TearDown() override { RemoveTree(Widen(folder_)); }

  std::string Path(const std::string& relative) const { return folder_ + "\\" + relative; }
  std::string Quarantine() const { return Path("Quarantine"); }
  std::string Journal() const { return Path(core::kJournalFileName); }
  std::string Original(size_t index) const { return Path(kVictims[index].name); }

  void Write(const std::string& path, const std::string& bytes, DWORD marks = 0) {
    std::string error;
    ASSERT_TRUE(platform::WriteFileAtomically(path, bytes, error)) << path << ": " << error;
    if (marks != 0) SetFileAttributesW(Widen(path).c_str(), marks);
  }

  void Fresh() {
    for (const std::string& name : platform::ListEveryFile(folder_)) {
      if (name != "pw_steps.exe") DeleteFileW(Widen(Path(name)).c_str());
    }
    for (const char* sub : {"victims", "earlier", "Quarantine"}) RemoveTree(Widen(Path(sub)));
    for (const char* sub : {"victims", "earlier", "Quarantine"}) CreateDirectoryW(Widen(Path(sub)).c_str(), nullptr);
    for (size_t i = 0; i < std::size(kVictims); ++i) Write(Original(i), Content(i), kVictims[i].marks);
    std::vector<core::Detection> detections;
    for (size_t i = 0; i < std::size(kVictims); ++i) detections.push_back({Original(i), "Adware"});
    ASSERT_EQ(features::QuarantineDetections(detections, {kEarlier}, folder_, {}).removed, 1);
    if (GetParam().startsQuarantined) {
      ASSERT_EQ(features::QuarantineDetections(detections, {0, 1, 2, 3}, folder_, {}).removed, 4);
    }
  }

  // The file the operation fails on, held open with leave to read only.
  std::string HeldPath() const {
    if (!GetParam().startsQuarantined) return Original(kHeld);
    for (const core::JournalRecord& record : features::ReadQuarantineRecords(Journal())) {
      if (record.originalPath == Original(kHeld)) return Quarantine() + "\\" + record.quarantinedName;
    }
    return std::string();
  }

  // Runs the operation in the child, stopped before step `stopAt` (never
  // with 0); gives its exit code: the steps taken, or 99 when stopped.
  DWORD RunChild(int stopAt) {
    const std::string held = HeldPath();
    platform::UniqueHandle holder(CreateFileW(Widen(held).c_str(), GENERIC_READ, GetParam().heldSharing, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(holder) << held;
    std::wstring command = L"\"" + Widen(program_) + L"\" " + Widen(kStopArgument) + L" " +
                           Widen(GetParam().name) + L" " + std::to_wstring(stopAt);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, Widen(folder_).c_str(), &startup,
                        &process)) {
      ADD_FAILURE() << "cannot start the child: " << GetLastError();
      return 0;
    }
    platform::UniqueHandle child(process.hProcess);
    CloseHandle(process.hThread);
    EXPECT_EQ(WaitForSingleObject(child.get(), 30000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(child.get(), &code);
    return code;
  }

  // Every file of the folder tree but the program, relative to the folder.
  void ListTree(const std::string& relative, std::vector<std::string>& files) const {
    const std::string folder = relative.empty() ? folder_ : Path(relative);
    for (const std::string& name : platform::ListEveryFile(folder)) {
      files.push_back(relative.empty() ? name : relative + "\\" + name);
    }
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(Widen(folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
      const std::string name = Narrow(found.cFileName);
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..") {
        ListTree(relative.empty() ? name : relative + "\\" + name, files);
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }

  // Every file whole at its place or in quarantine with a record that
  // restores it; a spare copy only beside a file in quarantine; the
  // Quarantine tab's files exactly those with records; nothing else.
  void ExpectWholeAndNothingElse() {
    const std::vector<core::JournalRecord> records = features::ReadQuarantineRecords(Journal());
    std::vector<std::string> expected = {"pw_steps.exe", core::kJournalFileName};
    std::map<std::string, int> inQuarantine;
    for (const std::string& name : features::ListQuarantined(Quarantine())) {
      const std::optional<core::JournalRecord> record = features::RecordOf(records, name, Quarantine());
      EXPECT_TRUE(record) << "listed without a record: " << name;
      if (!record) continue;
      expected.push_back("Quarantine\\" + name);
      std::string bytes;
      platform::ReadFileBytes(Quarantine() + "\\" + name, bytes);
      for (size_t i = 0; i < std::size(kVictims); ++i) {
        if (record->originalPath == Original(i) && bytes == Content(i)) ++inQuarantine[Original(i)];
      }
    }
    for (size_t i = 0; i < std::size(kVictims); ++i) {
      const std::string original = Original(i);
      std::string bytes;
      const bool present = platform::ReadFileBytes(original, bytes) == platform::ReadResult::Ok;
      EXPECT_TRUE(!present || bytes == Content(i)) << "cut off or changed: " << original;
      if (present) expected.push_back(kVictims[i].name);
      // Delete Selected deletes for good; every other operation keeps each
      // file in exactly one place (its spare copy stays).
      const bool deleting = std::string(GetParam().name) == "delete";
      const int places = (present ? 1 : 0) + inQuarantine[original];
      if (deleting) {
        EXPECT_LE(places, 1) << original;
      } else {
        EXPECT_EQ(places, 1) << original;
      }
      const std::string spare = core::SiblingCopyPath(original);
      if (platform::PathExists(spare)) {
        EXPECT_TRUE(inQuarantine[original] == 1 || (deleting && places == 0))
            << "a spare copy without its file: " << spare;
        expected.push_back(spare.substr(folder_.size() + 1));
      }
    }
    std::vector<std::string> files;
    ListTree("", files);
    EXPECT_EQ(Sorted(files), Sorted(expected));
  }

  std::string folder_, program_;
};

TEST_P(StepStopTest, EveryStopLeavesEachFileWholeInOnePlace) {
  Fresh();
  if (HasFatalFailure()) return;
  const DWORD steps = RunChild(0);
  ASSERT_GT(steps, 0u);
  ASSERT_LT(steps, 99u);
  features::PutRightInterruptedWork(Quarantine(), Journal());
  ExpectWholeAndNothingElse();
  // A restored file has its marks back.
  if (std::string(GetParam().name) == "restore") {
    EXPECT_EQ(GetFileAttributesW(Widen(Original(1)).c_str()) & kVictims[1].marks, kVictims[1].marks);
  }
  for (int stopAt = 1; stopAt <= static_cast<int>(steps); ++stopAt) {
    SCOPED_TRACE("stopped before step " + std::to_string(stopAt) + " of " + std::to_string(steps));
    Fresh();
    if (HasFatalFailure()) return;
    EXPECT_EQ(RunChild(stopAt), 99u);
    features::PutRightInterruptedWork(Quarantine(), Journal());
    ExpectWholeAndNothingElse();
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, StepStopTest, ::testing::ValuesIn(kOperations),
                         [](const ::testing::TestParamInfo<OperationRow>& info) { return info.param.name; });

}  // namespace
