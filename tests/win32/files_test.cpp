// File system services against the real (Wine) file system: whole-file
// reads, the "file exists" rule with its message box, folder creation and
// the plain-file listing the file list controls show.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/quarantine_journal.h"
#include "core/removal_text.h"
#include "features/quarantine_records.h"
#include "features/removal.h"
#include "features/scan_report.h"
#include "platform/atomic_file.h"
#include "platform/disk_lister.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/startup_entries.h"
#include "platform/text.h"
#include "remove_tree.h"

namespace {

using platform::Narrow;
using platform::ReadResult;
using platform::Widen;

// Every test works in C:\pwtest\win32-<test name> and nowhere else.
class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(L"C:\\pwtest", nullptr);
    folder_ = std::wstring(L"C:\\pwtest\\win32-") + Widen(::testing::UnitTest::GetInstance()->current_test_info()->name());
    RemoveTree(folder_);
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr)) << GetLastError();
  }
  void TearDown() override {
    RemoveTree(folder_);
    EXPECT_EQ(GetFileAttributesW(folder_.c_str()), INVALID_FILE_ATTRIBUTES) << "test folder left behind";
  }

  std::string Folder() const { return Narrow(folder_); }
  std::string PathOf(const std::string& name) const { return Folder() + "\\" + name; }

  void Write(const std::string& name, const std::string& bytes, DWORD attributes = 0) {
    const std::wstring path = platform::ExtendedPath(PathOf(name));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
    DWORD written = 0;
    ASSERT_TRUE(bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
    if (attributes != 0) {
      ASSERT_TRUE(SetFileAttributesW(path.c_str(), attributes)) << name;
      // Wine keeps DOS attributes in extended attributes; a file system
      // without them would make the listing checks meaningless.
      if ((GetFileAttributesW(path.c_str()) & attributes) != attributes) {
        GTEST_SKIP() << "the file system does not keep attributes " << attributes;
      }
    }
  }

  std::wstring folder_;
};

TEST_F(FilesTest, ReadFileBytesReturnsExactContent) {
  // The reader goes in 64 KiB pieces, so the sizes straddle that boundary.
  auto pattern = [](size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) % 256);
    return bytes;
  };
  struct Row {
    const char* name;
    std::string content;
  };
  const Row rows[] = {{"empty.bin", ""},
                      {"small.bin", std::string("a\0\r\n\x1A\xFF" "b", 7)},
                      {"chunk.bin", pattern(65536)},
                      {"chunk1.bin", pattern(65537)},
                      {"large.bin", pattern(200003)}};
  for (const Row& row : rows) {
    Write(row.name, row.content);
    std::string bytes = "stale";
    EXPECT_EQ(platform::ReadFileBytes(PathOf(row.name), bytes), ReadResult::Ok) << row.name;
    EXPECT_EQ(bytes.size(), row.content.size()) << row.name;
    EXPECT_TRUE(bytes == row.content) << row.name;
  }
}

TEST_F(FilesTest, ReadFileBytesFailuresLeaveOutputUntouched) {
  Write("locked.bin", "content");
  ASSERT_TRUE(CreateDirectoryW(Widen(PathOf("sub")).c_str(), nullptr));
  // Held open by someone else without sharing: the reader cannot get in.
  HANDLE holder = CreateFileW(Widen(PathOf("locked.bin")).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);

  struct Row {
    std::string path;
    ReadResult expected;
  };
  const Row rows[] = {
      {PathOf("missing.bin"), ReadResult::NotFound},
      {PathOf("nofolder\\missing.bin"), ReadResult::NotFound},
      {PathOf("locked.bin"), ReadResult::Failed},
      {PathOf("sub"), ReadResult::Failed},
  };
  for (const Row& row : rows) {
    std::string bytes = "previous";
    EXPECT_EQ(platform::ReadFileBytes(row.path, bytes), row.expected) << row.path;
    EXPECT_EQ(bytes, "previous") << row.path;
  }
  CloseHandle(holder);
}

// Files larger than a 32-bit process can hold, sparse where the file
// system allows, compared piece by piece.
TEST_F(FilesTest, SameContentComparesFilesLargerThanTheProcessCanHold) {
  // Past the 2 GiB a 32-bit process has, with a little over, and no more:
  // the equal pair is read whole.
  const LONGLONG large = (2LL << 30) + (1 << 20);
  auto make = [&](const std::string& name, LONGLONG size, const char* first) {
    HANDLE file = CreateFileW(Widen(PathOf(name)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
    LARGE_INTEGER end;
    end.QuadPart = size;
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, first, 1, &written, nullptr) && SetFilePointerEx(file, end, nullptr, FILE_BEGIN) &&
                SetEndOfFile(file))
        << name;
    CloseHandle(file);
  };
  make("large.bin", large, "x");
  make("large copy.bin", large, "x");
  make("large other.bin", large, "y");
  make("small.bin", 10, "x");
  make("small other.bin", 10, "y");
  make("shorter.bin", 9, "x");
  if (HasFatalFailure()) return;
  const struct {
    const char* first;
    const char* second;
    bool same;
  } rows[] = {
      {"large.bin", "large copy.bin", true},  {"large.bin", "large other.bin", false},
      {"small.bin", "small.bin", true},       {"small.bin", "small other.bin", false},
      {"small.bin", "shorter.bin", false},    {"small.bin", "missing.bin", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(platform::SameContent(PathOf(row.first), PathOf(row.second)), row.same) << row.first << row.second;
  }
}

TEST_F(FilesTest, ContentCheckAnswersOrdinaryCasesWithoutAnError) {
  Write("empty.dat", "");
  Write("one.dat", "x");
  ASSERT_TRUE(CreateDirectoryW(Widen(PathOf("sub")).c_str(), nullptr));
  using platform::ContentCheck;
  struct Row {
    std::string path;
    ContentCheck expected;
  };
  const Row rows[] = {
      {PathOf("one.dat"), ContentCheck::HasContent}, {PathOf("empty.dat"), ContentCheck::Absent},
      {PathOf("missing.dat"), ContentCheck::Absent}, {PathOf("sub"), ContentCheck::Absent},
      {PathOf("sub\\"), ContentCheck::Absent},       {PathOf("ONE.DAT"), ContentCheck::HasContent},
  };
  for (const Row& row : rows) {
    std::string error;
    EXPECT_EQ(platform::CheckFileHasContent(row.path, error), row.expected) << row.path;
    EXPECT_EQ(error, "") << row.path;
  }
}

TEST_F(FilesTest, ContentCheckOfABrokenPathFailsWithTheSystemsWords) {
  Write("one.dat", "x");
  std::string error;
  EXPECT_EQ(platform::CheckFileHasContent(PathOf("no such folder\\one.dat"), error), platform::ContentCheck::Failed);
  // The text is the system's own wording for the error, never empty.
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(error.find("Error "), std::string::npos) << error;
}

TEST_F(FilesTest, CreateFolderMakesOneLevelAndKeepsExisting) {
  const std::string made = PathOf("made");
  platform::CreateFolder(made);
  EXPECT_NE(GetFileAttributesW(Widen(made).c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

  // An existing folder keeps what is in it.
  Write("made\\keep.txt", "kept");
  platform::CreateFolder(made);
  std::string bytes;
  EXPECT_EQ(platform::ReadFileBytes(made + "\\keep.txt", bytes), ReadResult::Ok);
  EXPECT_EQ(bytes, "kept");

  // A folder whose parent is missing is not made, and nothing else either.
  platform::CreateFolder(PathOf("absent\\inner"));
  EXPECT_EQ(GetFileAttributesW(Widen(PathOf("absent")).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FilesTest, ListPlainFilesShowsOnlyPlainFilesAndDeleteEvenIfReadOnlyRemovesThem) {
  EXPECT_TRUE(platform::ListPlainFiles(Folder()).empty());
  EXPECT_TRUE(platform::ListPlainFiles(PathOf("missing")).empty());

  Write("b.txt", "1");
  Write("A.txt", "1");
  Write("c.TXT", "1");
  Write("empty.txt", "");
  Write("readonly.txt", "1", FILE_ATTRIBUTE_READONLY);
  Write("hidden.txt", "1", FILE_ATTRIBUTE_HIDDEN);
  Write("system.txt", "1", FILE_ATTRIBUTE_SYSTEM);
  ASSERT_TRUE(CreateDirectoryW(Widen(PathOf("a folder")).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(Widen(PathOf("zz folder.txt")).c_str(), nullptr));
  Write("a folder\\inside.txt", "1");
  // A name outside the ANSI code page comes back as UTF-8.
  const std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC.exe";
  HANDLE file = CreateFileW((folder_ + L"\\\u65e5\u672c.exe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  if (HasFatalFailure() || IsSkipped()) return;

  const std::vector<std::string> expected = {"A.txt", "b.txt", "c.TXT", "empty.txt", "readonly.txt", japanese};
  EXPECT_EQ(platform::ListPlainFiles(Folder()), expected);

  // A deleted file leaves the list, a read-only one too; deleting it twice
  // is refused.
  EXPECT_TRUE(platform::DeleteEvenIfReadOnly(PathOf("b.txt")));
  EXPECT_FALSE(platform::DeleteEvenIfReadOnly(PathOf("b.txt")));
  EXPECT_TRUE(platform::DeleteEvenIfReadOnly(PathOf("readonly.txt")));
  EXPECT_FALSE(platform::DeleteEvenIfReadOnly(PathOf("a folder")));
  const std::vector<std::string> remaining = {"A.txt", "c.TXT", "empty.txt", japanese};
  EXPECT_EQ(platform::ListPlainFiles(Folder()), remaining);
}

// The copy is written out to the disk before the original goes, and
// writing out must not refuse a read-only copy (early releases kept the mark
// on quarantined files).
TEST_F(FilesTest, MoveWithoutReplacingMovesAReadOnlyFileAndKeepsItsMark) {
  Write("kept.exe", "program bytes", FILE_ATTRIBUTE_READONLY);
  Write("taken.exe", "someone else's");
  if (HasFatalFailure() || IsSkipped()) return;
  EXPECT_EQ(platform::MoveWithoutReplacing(PathOf("kept.exe"), PathOf("taken.exe")), platform::MoveResult::TargetTaken);
  ASSERT_EQ(platform::MoveWithoutReplacing(PathOf("kept.exe"), PathOf("back\\kept.exe")), platform::MoveResult::Moved);
  EXPECT_FALSE(platform::PathExists(PathOf("kept.exe")));
  std::string bytes;
  EXPECT_EQ(platform::ReadFileBytes(PathOf("back\\kept.exe"), bytes, 100), ReadResult::Ok);
  EXPECT_EQ(bytes, "program bytes");
  EXPECT_TRUE(GetFileAttributesW(Widen(PathOf("back\\kept.exe")).c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(platform::DeleteEvenIfReadOnly(PathOf("back\\kept.exe")));
}

// A file whose folder is gone is gone; one on a drive that is gone (a
// stick pulled out) may still be there, and is not reported as removed.
TEST_F(FilesTest, KindOfPathTellsAGoneFileFromAGoneDrive) {
  Write("plain.exe", "1");
  char unused = 0;
  for (char letter = 'Z'; letter > 'D' && unused == 0; --letter) {
    if (!(GetLogicalDrives() & (1u << (letter - 'A')))) unused = letter;
  }
  ASSERT_NE(unused, 0) << "every drive letter is in use";
  EXPECT_EQ(platform::KindOfPath(PathOf("plain.exe")), platform::PathKind::PlainFile);
  EXPECT_EQ(platform::KindOfPath(PathOf("gone.exe")), platform::PathKind::Missing);
  EXPECT_EQ(platform::KindOfPath(PathOf("gone\\gone.exe")), platform::PathKind::Missing);
  EXPECT_EQ(platform::KindOfPath(std::string(1, unused) + ":\\folder\\spy.exe"), platform::PathKind::Unknown);
}

TEST_F(FilesTest, NamesEndingInADotOrBlankAreListedAndDeletedAsThemselves) {
  for (const wchar_t* name : {L"spy.", L"spy ", L"spy"}) {
    const std::wstring path = L"\\\\?\\" + folder_ + L"\\" + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << Narrow(name);
    CloseHandle(file);
  }
  EXPECT_EQ(platform::ListPlainFiles(Folder()).size(), 3u);
  EXPECT_TRUE(platform::DeleteEvenIfReadOnly(PathOf("spy.")));
  EXPECT_TRUE(platform::DeleteEvenIfReadOnly(PathOf("spy ")));
  EXPECT_EQ(platform::ListPlainFiles(Folder()), std::vector<std::string>{"spy"});
}

TEST_F(FilesTest, AFullPathKeepsTheDotsAndBlanksThatEndItsNames) {
  const std::string folder = Folder();
  const struct {
    std::string given, full;
  } rows[] = {
      {folder + "\\spy. ", folder + "\\spy. "},
      {folder + "\\spy.\\inner.", folder + "\\spy.\\inner."},
      {folder + "\\sub\\..\\spy", folder + "\\spy"},
      {folder + "/spy", folder + "\\spy"},
  };
  for (const auto& row : rows) EXPECT_EQ(platform::FullPath(row.given), row.full) << row.given;
}

// Quarantines the detected file at `relative` and returns the outcome.
features::RemovalResult Quarantine(const std::string& folder, const std::string& relative,
                                   features::QuarantinedCopies* copies = nullptr,
                                   const features::RemovalStepObserver& observe = {}) {
  return features::QuarantineDetectedFile(core::PathsForDetection({folder + "\\" + relative, "Adware"}, folder),
                                         features::ListLogOnEntries(), copies, observe);
}

TEST_F(FilesTest, QuarantineGivesEachCopyAFreeNameAndNeverOverwritesAFile) {
  ASSERT_TRUE(CreateDirectoryW(Widen(PathOf("a")).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(Widen(PathOf("b")).c_str(), nullptr));
  Write("a\\dup.dll", "first");
  Write("a\\dup.exe", "second");
  Write("b\\dup.dll", "third");
  Write("a\\thesis.exe", "detected");
  Write("a\\thesis.QVR", "the user's own", FILE_ATTRIBUTE_READONLY);
  // As long as a name may be: marked unfinished, its copy is made under a
  // shorter one.
  const std::string longName = std::string(251, 'l') + ".exe";
  Write("a\\" + longName, "long");
  if (HasFatalFailure() || IsSkipped()) return;

  features::QuarantinedCopies third;
  for (const char* file : {"a\\dup.dll", "a\\dup.exe"}) {
    EXPECT_EQ(Quarantine(Folder(), file), features::RemovalResult::Removed) << file;
  }
  EXPECT_EQ(Quarantine(Folder(), "b\\dup.dll", &third), features::RemovalResult::Removed);
  EXPECT_EQ(Quarantine(Folder(), "a\\thesis.exe"), features::RemovalResult::Removed);
  EXPECT_EQ(Quarantine(Folder(), "a\\" + longName), features::RemovalResult::Removed);
  EXPECT_EQ(third.quarantinePath, PathOf("Quarantine\\dup (2).dll"));
  EXPECT_EQ(third.siblingPath, PathOf("b\\dup.QVR"));

  const std::pair<const char*, const char*> copies[] = {
      {"Quarantine\\dup.dll", "first"},  {"Quarantine\\dup.exe", "second"}, {"Quarantine\\dup (2).dll", "third"},
      {"a\\dup.QVR", "first"},           {"a\\dup (2).QVR", "second"},      {"b\\dup.QVR", "third"},
      {"a\\thesis.QVR", "the user's own"}, {"a\\thesis (2).QVR", "detected"}, {"Quarantine\\thesis.exe", "detected"},
  };
  std::string longCopy;
  EXPECT_EQ(platform::ReadFileBytes(PathOf("Quarantine\\" + longName), longCopy), ReadResult::Ok);
  EXPECT_EQ(longCopy, "long");
  for (const auto& [name, content] : copies) {
    std::string bytes;
    EXPECT_EQ(platform::ReadFileBytes(PathOf(name), bytes), ReadResult::Ok) << name;
    EXPECT_EQ(bytes, content) << name;
  }
  EXPECT_TRUE(GetFileAttributesW(Widen(PathOf("a\\thesis.QVR")).c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(FilesTest, QuarantineLeavesALinkPutInPlaceOfTheDetectedFile) {
  // Resolved at run time: the call exists from Vista on.
  using CreateLinkFn = BOOLEAN(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
  const auto createLink = reinterpret_cast<CreateLinkFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CreateSymbolicLinkW")));
  Write("target.txt", "someone else's file");
  const std::wstring link = Widen(PathOf("tracker.exe"));
  // 2: without the privilege, where developer mode allows it.
  if (createLink == nullptr || !(createLink(link.c_str(), Widen(PathOf("target.txt")).c_str(), 0) ||
                                 createLink(link.c_str(), Widen(PathOf("target.txt")).c_str(), 2))) {
    GTEST_SKIP() << "symbolic links cannot be made here";
  }
  HANDLE opened = CreateFileW(link.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  BY_HANDLE_FILE_INFORMATION info = {};
  const bool known = opened != INVALID_HANDLE_VALUE && GetFileInformationByHandle(opened, &info);
  if (opened != INVALID_HANDLE_VALUE) CloseHandle(opened);
  if (!known || !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    GTEST_SKIP() << "links show no reparse point here";
  }

  EXPECT_EQ(Quarantine(Folder(), "tracker.exe"), features::RemovalResult::Failed);
  std::string bytes;
  EXPECT_EQ(platform::ReadFileBytes(PathOf("target.txt"), bytes), ReadResult::Ok);
  EXPECT_EQ(bytes, "someone else's file");
  EXPECT_NE(GetFileAttributesW(link.c_str()), INVALID_FILE_ATTRIBUTES);
}

// Another running copy changing the journal holds its lock: a record is not
// appended meanwhile, so that copy's rewrite cannot drop it unseen.
TEST_F(FilesTest, TheJournalIsChangedOnlyUnderItsLock) {
  const std::string journal = PathOf(core::kJournalFileName);
  const core::JournalRecord record{"spy.exe", "C:\\spy.exe", "today", "Adware"};
  {
    const platform::FileLock other(journal + ".lock", 0);
    ASSERT_EQ(other.state(), platform::FileLock::State::Held);
    EXPECT_EQ(platform::FileLock(journal + ".lock", 50).state(), platform::FileLock::State::Busy);
    EXPECT_FALSE(features::RecordQuarantined(journal, record));
    EXPECT_FALSE(platform::PathExists(journal));
  }
  EXPECT_TRUE(features::RecordQuarantined(journal, record));
  EXPECT_EQ(features::ReadQuarantineRecords(journal).size(), 1u);
  // The lock leaves nothing behind.
  EXPECT_FALSE(platform::PathExists(journal + ".lock"));
}

// A journal grown past all reason is never rewritten, and only its newest
// records are read: those of files quarantined from now on still count.
TEST_F(FilesTest, AJournalBeyondItsLimitIsLeftAloneButItsNewestRecordsCount) {
  const core::JournalRecord old{"old.exe", "C:\\old.exe", "long ago", "Adware"};
  const core::JournalRecord record{"spy.exe", "C:\\spy.exe", "today", "Adware"};
  const std::string text = core::FormatJournalLine(old) +
                           std::string(static_cast<size_t>(core::kLargestJournal), '#') + "\r\n" +
                           core::FormatJournalLine(record);
  Write(core::kJournalFileName, text);
  const std::string journal = PathOf(core::kJournalFileName);
  EXPECT_TRUE(features::JournalIsTooLarge(journal));
  const std::vector<core::JournalRecord> records = features::ReadQuarantineRecords(journal);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].quarantinedName, "spy.exe");
  EXPECT_FALSE(features::ForgetQuarantined({record}, journal));
  uint64_t size = 0, writeTime = 0;
  ASSERT_TRUE(platform::SizeAndWriteTime(journal, size, writeTime));
  EXPECT_EQ(size, text.size());
}

// Each step is watched before it is taken: the original goes only once its
// copy is whole on disk and recorded, and the copy is listed only then.
TEST_F(FilesTest, QuarantineDeletesTheOriginalOnlyOnceItsCopyIsOnDiskAndRecorded) {
  const std::string content(100000, 'q');
  const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
  Write("spy.exe", content, marks);
  if (HasFatalFailure() || IsSkipped()) return;
  const std::string unfinished = PathOf("Quarantine\\spy.exe.unfinished");
  const std::string journal = PathOf(core::kJournalFileName);
  using Step = features::RemovalStep;
  std::vector<Step> steps;
  features::QuarantinedCopies copies;
  const auto result = Quarantine(Folder(), "spy.exe", &copies, [&](Step step) {
    steps.push_back(step);
    const std::string copy = step == Step::CopyBeside ? PathOf("Quarantine\\spy.exe") : unfinished;
    std::string bytes;
    const bool whole = platform::ReadFileBytes(copy, bytes) == ReadResult::Ok && bytes == content;
    const bool recorded = !features::ReadQuarantineRecords(journal).empty();
    const bool keepsNoMarks = !(GetFileAttributesW(Widen(copy).c_str()) & marks);
    EXPECT_EQ(features::ListQuarantined(PathOf("Quarantine")).empty(), step != Step::CopyBeside) << static_cast<int>(step);
    EXPECT_EQ(recorded, step > Step::WriteRecords) << static_cast<int>(step);
    EXPECT_EQ(platform::PathExists(PathOf("spy.exe")), step <= Step::DeleteOriginal) << static_cast<int>(step);
    if (step > Step::WriteCopyToDisk) {
      EXPECT_TRUE(whole && keepsNoMarks) << static_cast<int>(step);
    }
  });
  EXPECT_EQ(result, features::RemovalResult::Removed);
  EXPECT_EQ(steps, (std::vector<Step>{Step::CopyUnderUnfinishedName, Step::WriteCopyToDisk, Step::WriteRecords,
                                      Step::DeleteOriginal, Step::TakeItsName, Step::CopyBeside}));
  EXPECT_EQ(copies.quarantinePath, PathOf("Quarantine\\spy.exe"));
  EXPECT_EQ(features::ListQuarantined(PathOf("Quarantine")), std::vector<std::string>{"spy.exe"});
  const std::vector<core::JournalRecord> records = features::ReadQuarantineRecords(journal);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].marks, marks);
}

// The copy a crash cut short is never listed and goes at the next start
// (unless another running copy is at work); a hidden or system file put
// there by an earlier release is listed.
TEST_F(FilesTest, TheQuarantineListsMarkedFilesButNoUnfinishedCopy) {
  ASSERT_TRUE(CreateDirectoryW(Widen(PathOf("Quarantine")).c_str(), nullptr));
  Write("Quarantine\\hidden.exe", "1", FILE_ATTRIBUTE_HIDDEN);
  Write("Quarantine\\system.dll", "1", FILE_ATTRIBUTE_SYSTEM);
  Write("Quarantine\\cut.exe.unfinished", "half");
  Write("Quarantine\\cut (2).exe.unfinished", "half");
  if (HasFatalFailure() || IsSkipped()) return;
  const std::vector<std::string> listed = {"hidden.exe", "system.dll"};
  EXPECT_EQ(features::ListQuarantined(PathOf("Quarantine")), listed);
  {
    // Another running copy's work under way is no leftover.
    const platform::FileLock underWay = features::MarkWorkUnderWay(PathOf(core::kJournalFileName));
    features::PutRightInterruptedWork(PathOf("Quarantine"), PathOf(core::kJournalFileName));
    EXPECT_EQ(platform::ListEveryFile(PathOf("Quarantine")).size(), 4u);
  }
  features::PutRightInterruptedWork(PathOf("Quarantine"), PathOf(core::kJournalFileName));
  EXPECT_EQ(platform::ListEveryFile(PathOf("Quarantine")), listed);
}

// A file that cannot be recorded or deleted stays where it was, and the
// removal takes away every copy and record it made of it.
// Nor does it touch what starts the file at log-on: that goes only with the file.
TEST_F(FilesTest, AFailedQuarantineLeavesNoCopyAndNoRecordBehind) {
  const std::string earlier = "earlier.exe\tC:\\earlier.exe\t\tkept as it was\n";
  const std::string runKey = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string runName = "pwtest held " + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(platform::WriteLogOnValue(runKey, runName, REG_SZ, "\"" + PathOf("held.exe") + "\" /tray"));
  const auto startsAtLogOn = [&] {
    for (const platform::LogOnValue& value : platform::ListLogOnValues()) {
      if (value.name == runName) return true;
    }
    return false;
  };
  const struct {
    const char* held;
    DWORD sharing;
    features::RemovalStep failing;
    features::RemovalResult result;
  } rows[] = {
      {core::kJournalFileName, 0, features::RemovalStep::WriteRecords, features::RemovalResult::Unrecorded},
      // Others may read the file but not delete it.
      {"held.exe", FILE_SHARE_READ, features::RemovalStep::ForgetFilesKept, features::RemovalResult::Failed},
  };
  for (const auto& row : rows) {
    Write("held.exe", "the detected program");
    Write(core::kJournalFileName, earlier);
    HANDLE holder = CreateFileW(Widen(PathOf(row.held)).c_str(), GENERIC_READ, row.sharing, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE) << row.held;
    for (int press = 0; press < 2; ++press) {
      features::RemovalStep last = features::RemovalStep::CopyUnderUnfinishedName;
      bool startedAtLastStep = false;
      EXPECT_EQ(Quarantine(Folder(), "held.exe", nullptr,
                           [&](features::RemovalStep step) {
                             last = step;
                             startedAtLastStep = startsAtLogOn();
                           }),
                row.result)
          << row.held;
      EXPECT_EQ(last, row.failing) << row.held;
      EXPECT_TRUE(startedAtLastStep) << row.held;
    }
    CloseHandle(holder);
    std::string bytes, journal;
    EXPECT_EQ(platform::ReadFileBytes(PathOf("held.exe"), bytes), ReadResult::Ok) << row.held;
    EXPECT_EQ(bytes, "the detected program") << row.held;
    EXPECT_EQ(platform::ListEveryFile(PathOf("Quarantine")), std::vector<std::string>{}) << row.held;
    EXPECT_FALSE(platform::PathExists(PathOf("held.QVR"))) << row.held;
    EXPECT_EQ(platform::ReadFileBytes(PathOf(core::kJournalFileName), journal), ReadResult::Ok) << row.held;
    EXPECT_EQ(journal, earlier) << row.held;
    EXPECT_TRUE(startsAtLogOn()) << row.held;
  }
  platform::DeleteLogOnValue(runKey, runName);
  // A folder put in the file's place is no file to remove.
  ASSERT_TRUE(CreateDirectoryW(Widen(PathOf("folder.exe")).c_str(), nullptr));
  EXPECT_EQ(Quarantine(Folder(), "folder.exe"), features::RemovalResult::NotAFile);
  EXPECT_TRUE(platform::IsFolder(PathOf("folder.exe")));
}

// A delete the system reports as made but does not make (in a folder the
// program may not change; here a file made immutable by scripts/test)
// leaves the file in place, reported as such, with nothing of it kept.
TEST_F(FilesTest, AFileTheSystemKeepsIsNotReportedRemoved) {
  const std::string kept = "C:\\pwbuild\\immutable\\kept.exe";
  if (!platform::PathExists(kept)) GTEST_SKIP() << "no file here that the system refuses to delete";
  EXPECT_EQ(features::QuarantineDetectedFile(core::PathsForDetection({kept, "Adware"}, Folder()), {}),
            features::RemovalResult::Failed);
  EXPECT_TRUE(platform::PathExists(kept));
  EXPECT_EQ(features::ListQuarantined(PathOf("Quarantine")), std::vector<std::string>{});
  EXPECT_EQ(platform::ListEveryFile(PathOf("Quarantine")), std::vector<std::string>{});
  EXPECT_TRUE(features::ReadQuarantineRecords(PathOf(core::kJournalFileName)).empty());
  EXPECT_FALSE(platform::PathExists("C:\\pwbuild\\immutable\\kept.QVR"));
}

// A line cut short (by a crash mid-write) must not swallow the next one.
TEST_F(FilesTest, AppendedLinesStandAloneAfterACutOffLine) {
  ASSERT_TRUE(platform::AppendLine(PathOf("new.journal"), "first\r\n"));
  Write("cut.journal", "cut off by a cra");
  ASSERT_TRUE(platform::AppendLine(PathOf("cut.journal"), "whole\r\n"));
  ASSERT_TRUE(platform::AppendLine(PathOf("cut.journal"), "next\r\n"));
  std::string created, appended;
  ASSERT_EQ(platform::ReadFileBytes(PathOf("new.journal"), created), ReadResult::Ok);
  ASSERT_EQ(platform::ReadFileBytes(PathOf("cut.journal"), appended), ReadResult::Ok);
  EXPECT_EQ(created, "first\r\n");
  EXPECT_EQ(appended, "cut off by a cra\nwhole\r\nnext\r\n");
}

TEST_F(FilesTest, ANewFileTakesTheFirstFreeNameAndReplacesNothing) {
  Write("2004-7-15313.5.log", "earlier");
  const auto nameFor = [&](int number) { return core::NumberedPath(PathOf("2004-7-15313.5.log"), number); };
  std::string error;
  EXPECT_EQ(platform::WriteNewFileAtomically(nameFor, "later", error), PathOf("2004-7-15313.5 (2).log")) << error;
  std::string bytes;
  ASSERT_EQ(platform::ReadFileBytes(PathOf("2004-7-15313.5.log"), bytes), ReadResult::Ok);
  EXPECT_EQ(bytes, "earlier");
  ASSERT_EQ(platform::ReadFileBytes(PathOf("2004-7-15313.5 (2).log"), bytes), ReadResult::Ok);
  EXPECT_EQ(bytes, "later");
  EXPECT_FALSE(platform::PathExists(PathOf("2004-7-15313.5.log.part")));
}

// A report keeps the ANSI code page while it can spell every name in it.
TEST(ScanReport, AnsiUnlessANameNeedsMoreThenUtf8WithAByteOrderMark) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs ANSI code page 1252, have " << GetACP();
  struct Row {
    std::string lines;
    std::string start;
  };
  const Row rows[] = {
      {"\r\nAdware found >C:\\Temp\\istbar.dll", "\r\nAdware found >C:\\Temp\\istbar.dll\r\nTest Run : "},
      {"\r\nAdware found >C:\\\xC3\xBC\\istbar.dll", "\r\nAdware found >C:\\\xFC\\istbar.dll\r\nTest Run : "},
      {"\r\nAdware found >D:\\\xC3\xBC\xE6\x97\xA5\\\xCE\xA9mega\\gtools.dll",
       "\xEF\xBB\xBF\r\nAdware found >D:\\\xC3\xBC\xE6\x97\xA5\\\xCE\xA9mega\\gtools.dll\r\nTest Run : "},
  };
  for (const Row& row : rows) {
    const features::ReportWrite report = features::WriteScanReport(row.lines);
    ASSERT_TRUE(report.written) << report.error;
    std::string bytes;
    EXPECT_EQ(platform::ReadFileBytes(report.path, bytes), ReadResult::Ok);
    platform::DeleteEvenIfReadOnly(report.path);
    EXPECT_EQ(bytes.substr(0, row.start.size()), row.start);
  }
  RemoveDirectoryW(Widen(platform::AppPath("Reports")).c_str());
}

}  // namespace
