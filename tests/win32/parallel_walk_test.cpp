// The walk that lists ahead on threads of its own, on a tree on disk: it
// visits the folders in the same order on one thread as on several, however
// their listings end, and a stop returns only once every thread started has
// ended.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/folder_walk.h"
#include "features/disk_folders.h"
#include "features/parallel_walk.h"
#include "platform/disk_lister.h"
#include "remove_tree.h"

namespace {

struct ListerCalls {
  std::atomic<int> started{0};
  std::atomic<int> running{0};
  std::atomic<bool> slowStarted{false};
};

// The disk's lister with a wait of a few milliseconds that differs from
// folder to folder, so that listings end out of order. A folder named "slow"
// lists nothing and only returns when the walk stops.
class UnevenLister : public core::FolderLister {
 public:
  UnevenLister(std::function<bool()> stopping, ListerCalls& calls)
      : disk_(stopping), stopping_(std::move(stopping)), calls_(calls) {}

  bool List(const std::string& folder, const core::FolderId* self, std::vector<std::string>& files,
            std::vector<core::Subfolder>& subfolders) override {
    Running running(calls_);
    Sleep(static_cast<DWORD>(folder.size() % 4));
    if (folder.size() > 5 && folder.compare(folder.size() - 5, 5, "\\slow") == 0) {
      calls_.slowStarted = true;
      while (!stopping_()) Sleep(1);
      return false;
    }
    return disk_.List(folder, self, files, subfolders);
  }
  bool Identify(const std::string& folder, core::FolderId& id) override {
    Running running(calls_);
    return disk_.Identify(folder, id);
  }

 private:
  struct Running {
    explicit Running(ListerCalls& calls) : calls(calls) {
      ++calls.started;
      ++calls.running;
    }
    ~Running() { --calls.running; }
    ListerCalls& calls;
  };

  features::DiskFolderLister disk_;
  std::function<bool()> stopping_;
  ListerCalls& calls_;
};

features::ParallelFolderWalk::ListerMaker UnevenListers(ListerCalls& calls) {
  return [&calls](std::function<bool()> stopping) {
    return std::make_unique<UnevenLister>(std::move(stopping), calls);
  };
}

double Milliseconds() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

class ParallelWalkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(L"C:\\pwtest", nullptr);
    RemoveTree(platform::ExtendedPath(root_));
    ASSERT_TRUE(CreateDirectoryW(platform::ExtendedPath(root_).c_str(), nullptr));
    // Names in mixed case, one ending in a blank: 31 folders, 74 files.
    Make("Zed.exe", false);
    Make("abc.dat", false);
    for (const char* top : {"Alpha", "beta", "Gamma", "delta ", "Eps", "zeta"}) {
      Make(top, true);
      for (const char* sub : {"One", "two", "Three", "four"}) {
        const std::string folder = std::string(top) + "\\" + sub;
        Make(folder, true);
        for (const char* file : {"a.dat", "B.exe", "c.TXT"}) Make(folder + "\\" + file, false);
      }
    }
  }
  void TearDown() override { RemoveTree(platform::ExtendedPath(root_)); }

  void Make(const std::string& relative, bool folder) {
    const std::wstring path = platform::ExtendedPath(root_ + "\\" + relative);
    if (folder) {
      ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << relative;
    } else {
      HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(file, INVALID_HANDLE_VALUE) << relative;
      CloseHandle(file);
    }
  }

  // Each folder visited and its files, in the order the walk hands them over.
  std::vector<std::string> Visits(core::FolderSource& walk) {
    std::vector<std::string> visits;
    EXPECT_TRUE(walk.Walk(root_, true, [&](core::FolderVisit& visit) {
      visits.push_back(visit.folder);
      for (const std::string& file : visit.foldedFiles) visits.push_back("  " + file);
      return true;
    }));
    return visits;
  }

  const std::string root_ = "C:\\pwtest\\win32-parallel-walk";
};

TEST_F(ParallelWalkTest, VisitsInTheSameOrderOnOneThreadAsOnSeveral) {
  features::ParallelFolderWalk single(core::FoldAscii, [] { return false; }, 1);
  single.Exclude(root_ + "\\zeta\\two");
  const std::vector<std::string> expected = Visits(single);
  ASSERT_EQ(expected.size(), 30u + 71u);
  EXPECT_EQ(std::vector<std::string>(expected.begin(), expected.begin() + 4),
            (std::vector<std::string>{root_, "  abc.dat", "  zed.exe", root_ + "\\Alpha"}));

  for (const int threads : {2, 4}) {
    SCOPED_TRACE(std::to_string(threads) + " threads");
    ListerCalls calls;
    features::ParallelFolderWalk walk(core::FoldAscii, [] { return false; }, threads, UnevenListers(calls));
    walk.Exclude(root_ + "\\zeta\\two");
    EXPECT_EQ(Visits(walk), expected);
    EXPECT_EQ(calls.running.load(), 0);
  }
}

// Stopped from the window while a listing hangs, or from a visit while the
// threads list ahead: either way no listing runs or begins once the walk
// has returned.
TEST_F(ParallelWalkTest, AStopReturnsOnlyAfterEveryListingThreadHasEnded) {
  Make("beta\\slow", true);
  for (const bool fromVisit : {false, true}) {
    SCOPED_TRACE(fromVisit ? "stopped from a visit" : "stopped from the window");
    ListerCalls calls;
    double stoppedAt = 0;
    const auto stop = [&] {
      stoppedAt = Milliseconds();
      return true;
    };
    features::ParallelFolderWalk walk(
        core::FoldAscii, [&] { return !fromVisit && calls.slowStarted ? stop() : false; }, 3, UnevenListers(calls));
    std::vector<std::string> visited;
    const bool finished = walk.Walk(root_, true, [&](core::FolderVisit& visit) {
      visited.push_back(visit.folder);
      return fromVisit && visited.size() == 3 ? !stop() : true;
    });
    const double took = Milliseconds() - stoppedAt;
    EXPECT_FALSE(finished);
    EXPECT_EQ(calls.running.load(), 0) << "a listing outlived the walk";
    const int started = calls.started;
    Sleep(50);
    EXPECT_EQ(calls.started.load(), started) << "a listing began after the walk returned";
    EXPECT_LT(took, 250.0);
    EXPECT_EQ(std::count(visited.begin(), visited.end(), root_ + "\\beta\\slow"), 0);
    if (fromVisit) {
      EXPECT_EQ(visited.size(), 3u);
    }
  }
}

}  // namespace
