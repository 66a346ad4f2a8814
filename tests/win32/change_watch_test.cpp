// The change watch against the real (Wine) file system: what it reports,
// changes lost to a full buffer, a failed read, and that stopping it is
// immediate.
#include "platform/change_watch.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/handles.h"
#include "platform/mutex.h"
#include "platform/text.h"
#include "remove_tree.h"

namespace {

using platform::ChangeAction;
using Seen = std::vector<std::pair<std::string, ChangeAction>>;

// Every test works in C:\pwtest\win32-<test name>, the watched folder
// itself: under Wine a watch sees changes there, as on Windows.
class ChangeWatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(L"C:\\pwtest", nullptr);
    folder_ = "C:\\pwtest\\win32-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
    RemoveTree(platform::Widen(folder_));
    ASSERT_TRUE(CreateDirectoryW(platform::Widen(folder_).c_str(), nullptr)) << GetLastError();
  }
  void TearDown() override { RemoveTree(platform::Widen(folder_)); }

  void Make(const std::string& name) {
    const HANDLE file = CreateFileW(platform::Widen(folder_ + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
    CloseHandle(file);
  }
  Seen Copy() {
    platform::MutexLock hold(lock_);
    return seen_;
  }
  static bool WaitFor(const std::function<bool()>& condition) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(20)) {
      if (condition()) return true;
    }
    return condition();
  }

  std::string folder_;
  platform::Mutex lock_;
  Seen seen_;
  int missed_ = 0;
};

TEST_F(ChangeWatchTest, ReportsCreatedAndRenamedFilesByTheirPathInTheFolderAndStopsAtOnce) {
  auto watch = std::make_unique<platform::ChangeWatch>(
      std::vector<std::string>{folder_},
      [this](const std::string& root, const std::string& relative, ChangeAction action, bool isFolder) {
        EXPECT_EQ(root, folder_);
        platform::MutexLock hold(lock_);
        seen_.emplace_back(relative + (isFolder ? "\\" : ""), action);
      },
      nullptr);
  ASSERT_EQ(watch->Watched(), std::vector<std::string>{folder_});
  Make("first.exe");
  ASSERT_TRUE(MoveFileW(platform::Widen(folder_ + "\\first.exe").c_str(),
                        platform::Widen(folder_ + "\\second.exe").c_str()));
  ASSERT_TRUE(CreateDirectoryW(platform::Widen(folder_ + "\\sub").c_str(), nullptr));
  const Seen expected = {{"first.exe", ChangeAction::Added},
                         {"first.exe", ChangeAction::RenamedOld},
                         {"second.exe", ChangeAction::RenamedNew},
                         {"sub\\", ChangeAction::Added}};
  EXPECT_TRUE(WaitFor([&] {
    Seen seen = Copy();
    // Writes to the new file may be reported as well; they come after.
    seen.erase(std::remove_if(seen.begin(), seen.end(),
                              [](const auto& change) { return change.second == ChangeAction::Modified; }),
               seen.end());
    return seen == expected;
  }));

  const DWORD before = GetTickCount();
  watch.reset();
  EXPECT_LT(GetTickCount() - before, 1000u);
}

TEST_F(ChangeWatchTest, ChangesBeyondTheBufferAreReportedAsMissed) {
  const platform::UniqueHandle held(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const HANDLE go = held.get();
  platform::ChangeWatch watch(
      {folder_},
      // The first change holds the watch's thread until every file is made,
      // so that their changes pile up in a buffer too small for them.
      [go](const std::string&, const std::string&, ChangeAction, bool) { WaitForSingleObject(go, 10000); },
      [this](const std::string&, platform::WatchEvent event, unsigned) {
        platform::MutexLock hold(lock_);
        if (event == platform::WatchEvent::Overflowed) ++missed_;
      },
      512);
  for (int i = 0; i < 100; ++i) Make("file" + std::to_string(i) + ".dat");
  SetEvent(go);
  EXPECT_TRUE(WaitFor([&] {
    platform::MutexLock hold(lock_);
    return missed_ > 0;
  }));
}

// A read that fails is said, the watch is started again, and later changes
// are seen.
TEST_F(ChangeWatchTest, AFailedReadIsReportedAndTheWatchStartsAgain) {
  std::vector<platform::WatchEvent> events;
  platform::ChangeWatch watch(
      {folder_},
      [this](const std::string&, const std::string& relative, ChangeAction action, bool) {
        platform::MutexLock hold(lock_);
        seen_.emplace_back(relative, action);
      },
      [&](const std::string& root, platform::WatchEvent event, unsigned) {
        EXPECT_EQ(root, folder_);
        platform::MutexLock hold(lock_);
        events.push_back(event);
      });
  watch.FailNextRead(ERROR_ACCESS_DENIED);
  Make("lost.exe");
  ASSERT_TRUE(WaitFor([&] {
    platform::MutexLock hold(lock_);
    return events.size() >= 2;
  }));
  Make("later.exe");
  EXPECT_TRUE(WaitFor([&] {
    const Seen seen = Copy();
    return std::find(seen.begin(), seen.end(), std::pair<std::string, ChangeAction>("later.exe", ChangeAction::Added)) !=
           seen.end();
  }));
  platform::MutexLock hold(lock_);
  EXPECT_EQ(events, (std::vector<platform::WatchEvent>{platform::WatchEvent::Ended, platform::WatchEvent::Restarted}));
}

// A letter made by SUBST is a second name for a folder of a watched drive:
// not watched itself, and its paths named as that drive's watch names them.
TEST_F(ChangeWatchTest, ASubstLetterIsNotWatchedAndItsPathsAreNamedOnItsDrive) {
  const std::vector<std::string> before = platform::FixedDriveRoots();
  EXPECT_NE(std::find(before.begin(), before.end(), "C:\\"), before.end());
  wchar_t letter = L'Z';
  while (letter > L'F' && (GetLogicalDrives() & (1u << (letter - L'A'))) != 0) --letter;
  const std::wstring drive = {letter, L':'};
  if (!DefineDosDeviceW(0, drive.c_str(), platform::Widen(folder_).c_str())) GTEST_SKIP() << "no SUBST here";
  const std::vector<std::string> roots = platform::FixedDriveRoots();
  const std::string named = platform::WithoutDriveAlias(platform::Narrow(drive) + "\\sub\\a.exe");
  DefineDosDeviceW(DDD_REMOVE_DEFINITION, drive.c_str(), nullptr);
  EXPECT_EQ(roots, before);
  EXPECT_EQ(named, folder_ + "\\sub\\a.exe");
  EXPECT_EQ(platform::WithoutDriveAlias("C:\\x\\a.exe"), "C:\\x\\a.exe");
}

}  // namespace
