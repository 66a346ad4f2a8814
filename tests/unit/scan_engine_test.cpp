#include "core/scan_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/definitions_index.h"
#include "core/definitions_list.h"
#include "core/folder_walk.h"
#include "core/scan_text.h"
#include "core/listing_stream.h"
#include "core/subtree_helpers.h"
#include "core/walk_ahead.h"

namespace {

using Texts = std::vector<std::string>;

// A file system held in memory, keyed by the exact path the engine asks
// for. A link is a path that shares another folder's identity and lists that
// folder's content, as a junction does; paths below a link resolve through it.
// Like the disk lister, a listing tells the identity of plain subfolders but
// leaves links to be identified on their own.
class MemoryLister : public core::FolderLister {
 public:
  void Add(const std::string& path, Texts files, Texts subfolders = {}) {
    folders_[path] = {std::move(files), std::move(subfolders)};
  }
  void Link(const std::string& path, const std::string& target) { links_[path] = target; }
  void MakeUnreadable(const std::string& path) { unreadable_.insert(path); }

  bool List(const std::string& folder, const core::FolderId* self, Texts& files,
            std::vector<core::Subfolder>& subfolders) override {
    listed.push_back(folder);
    // A walk that never ends would otherwise hang the whole test run.
    if (listed.size() > kListLimit) {
      if (listed.size() == kListLimit + 1) ADD_FAILURE() << "the walk does not end";
      return false;
    }
    core::FolderId actual;
    if (self != nullptr && Identify(folder, actual)) {
      EXPECT_FALSE(*self < actual || actual < *self) << "wrong identity handed over for " << folder;
    }
    if (unreadable_.count(folder)) return false;
    const auto found = folders_.find(Resolve(folder));
    if (found == folders_.end()) return false;
    files.insert(files.end(), found->second.first.begin(), found->second.first.end());
    for (const std::string& name : found->second.second) {
      core::Subfolder subfolder;
      subfolder.name = name;
      const std::string path = folder.back() == '\\' ? folder + name : folder + "\\" + name;
      if (links_.count(Resolve(folder) + "\\" + name) == 0) subfolder.identified = Identify(path, subfolder.id);
      subfolders.push_back(std::move(subfolder));
    }
    return true;
  }

  bool Identify(const std::string& folder, core::FolderId& id) override {
    const auto found = folders_.find(Resolve(folder));
    if (found == folders_.end()) return false;
    id.volume = static_cast<unsigned char>(found->first[0]);
    // Position + 1: an index of 0 means "unknown" to the engine.
    id.index = unknownIdentities ? 0 : static_cast<uint64_t>(std::distance(folders_.begin(), found)) + 1;
    return true;
  }

  Texts listed;
  // Every folder reports the index 0, as some volumes do.
  bool unknownIdentities = false;

 private:
  static constexpr size_t kListLimit = 1000;

  std::string Resolve(std::string path) const {
    for (bool changed = true; changed;) {
      changed = false;
      for (const auto& [link, target] : links_) {
        if (path == link || path.compare(0, link.size() + 1, link + "\\") == 0) {
          path = target + path.substr(link.size());
          changed = true;
        }
      }
    }
    return path;
  }

  std::map<std::string, std::pair<Texts, Texts>> folders_;
  std::map<std::string, std::string> links_;
  std::set<std::string> unreadable_;
};

// Records what the scan window is told, in order, as one event list too, so
// that anything told after a stop request shows.
class Recorder : public core::ScanObserver {
 public:
  bool YieldToWindow() override {
    ++yields;
    const bool stop = yields == stopAtYield || (stopAtCount > 0 && lastCount >= stopAtCount);
    if (stop) events.push_back("stop");
    return stop;
  }
  void ScanningFolder(const std::string& shownPath) override {
    shown.push_back(shownPath);
    events.push_back("folder " + shownPath);
  }
  void Detected(const core::Detection& detection) override {
    const std::string detectionLine = core::DetectionLine(detection);
    detections.push_back(detectionLine);
    events.push_back("detect " + detectionLine);
  }
  void FileExamined(int32_t objectsScanned) override {
    counts.push_back(objectsScanned);
    lastCount = objectsScanned;
    events.push_back("count " + std::to_string(objectsScanned));
  }

  // Answers "stop" at exactly this call only (0: never), so an engine that
  // does not heed the first request is caught.
  int stopAtYield = 0;
  // Answers "stop" from the moment this many files were examined (0: never).
  int32_t stopAtCount = 0;

  int yields = 0;
  int32_t lastCount = 0;
  Texts shown;
  Texts detections;
  std::vector<int32_t> counts;
  Texts events;
};

Texts Without(const Texts& events, const std::string& prefix) {
  Texts kept;
  for (const std::string& event : events) {
    if (event.compare(0, prefix.size(), prefix) != 0) kept.push_back(event);
  }
  return kept;
}

// Lists ahead of the walk as helper threads do, with up to `helpers` jobs
// running at once and each finished in a scrambled order, all on this
// thread so that a failure repeats.
class ScrambledAheadWalk : public core::FolderSource {
 public:
  ScrambledAheadWalk(core::FolderLister& lister, core::FoldCase fold, size_t helpers, core::AheadLimits limits)
      : lister_(lister), fold_(std::move(fold)), helpers_(helpers), limits_(limits) {}

  void Exclude(const std::string& folder) override {
    core::FolderId id;
    if (lister_.Identify(core::FolderPathOf(folder), id)) visited_.insert(id);
  }

  bool Walk(const std::string& location, bool withFiles, const core::VisitFolder& visit) override {
    const std::string root = core::FolderPathOf(location);
    if (root.empty()) return true;
    core::WalkAhead walk(root, withFiles, visited_, limits_);
    std::vector<core::FolderJob> running;
    for (;;) {
      core::FolderJob job;
      while (running.size() < helpers_ && walk.TakeJobAhead(job)) {
        running.push_back(std::move(job));
        // The walk's own next folder may go one over the limit.
        EXPECT_LE(walk.foldersAhead(), limits_.folders + 1);
      }
      core::FolderVisit folder;
      const core::WalkAhead::Step step = walk.Next(false, folder, job);
      if (step == core::WalkAhead::Step::Done) {
        EXPECT_TRUE(running.empty());
        EXPECT_EQ(walk.foldersAhead(), 0u);
        EXPECT_EQ(walk.bytesAhead(), 0u);
        return true;
      }
      if (step == core::WalkAhead::Step::Visit) {
        if (!visit(folder)) return false;
        continue;
      }
      if (running.empty()) {
        ADD_FAILURE() << "the walk waits for a job that nobody may take";
        return false;
      }
      seed_ = seed_ * 1103515245u + 12345u;
      const size_t pick = (seed_ >> 16) % running.size();
      core::RunFolderJob(running[pick], lister_, fold_);
      walk.Finish(running[pick]);
      running.erase(running.begin() + static_cast<std::ptrdiff_t>(pick));
    }
  }

 private:
  core::FolderLister& lister_;
  core::FoldCase fold_;
  size_t helpers_;
  core::AheadLimits limits_;
  std::set<core::FolderId> visited_;
  uint32_t seed_ = 1;
};

// A listing helper run in this process, with its own copy of the file
// system. It walks each subtree as soon as it is asked, and hands its
// listings over a few bytes at a time, so that they arrive in pieces; it
// may be gone after a given number of bytes, or never say it is ready.
class InProcessHelper : public core::HelperLink {
 public:
  InProcessHelper(const MemoryLister& disk, core::FoldCase fold, size_t bytesUntilGone, bool ready = true)
      : lister_(disk), fold_(std::move(fold)), bytesLeft_(bytesUntilGone) {
    lister_.listed.clear();
    if (ready) core::AppendReady(answers_);
  }

  bool Send(std::string_view bytes) override {
    requests_.append(bytes);
    core::SubtreeRequest request;
    size_t used = 0;
    while (core::DecodeRequest(requests_, used, request) == core::Decoded::Complete) {
      requests_.erase(0, used);
      core::ListSubtree(request, visited_, lister_, fold_, [this](const std::string& listings) {
        answers_ += listings;
        return true;
      });
    }
    return bytesLeft_ > 0;
  }

  bool ReceiveWaiting(std::string& into, size_t most) override {
    const size_t count = std::min({most, answers_.size(), bytesLeft_, size_t{97}});
    into.append(answers_, 0, count);
    answers_.erase(0, count);
    bytesLeft_ -= count;
    return bytesLeft_ > 0;
  }

  const Texts& listed() const { return lister_.listed; }

 private:
  MemoryLister lister_;
  core::FoldCase fold_;
  size_t bytesLeft_;
  std::set<core::FolderId> visited_;
  std::string requests_, answers_;
};

// Leaves subtrees to two listing helpers and lists the rest on the calling
// thread, as the scan does where threads cannot list side by side. The walk
// holds at most `heldBytes` of their listings ahead.
class HelperAheadWalk : public core::FolderSource {
 public:
  HelperAheadWalk(MemoryLister& lister, core::FoldCase fold, size_t heldBytes, size_t secondHelperBytes,
                  bool firstReady = true)
      : lister_(lister),
        fold_(fold),
        helpers_(fold, heldBytes),
        first_(lister, fold, SIZE_MAX, firstReady),
        second_(lister, fold, secondHelperBytes) {
    helpers_.Add(first_);
    helpers_.Add(second_);
  }

  void Exclude(const std::string& folder) override {
    core::FolderId id;
    if (!lister_.Identify(core::FolderPathOf(folder), id)) return;
    visited_.insert(id);
    helpers_.PassOver(id);
  }

  bool Walk(const std::string& location, bool withFiles, const core::VisitFolder& visit) override {
    const std::string root = core::FolderPathOf(location);
    if (root.empty()) return true;
    core::WalkAhead walk(root, withFiles, visited_);
    helpers_.BeginWalk();
    const auto delegate = [&walk](int helper, uint32_t subtree, const std::function<bool(const std::string&)>& wanted,
                                  core::DelegatedFolder& folder) {
      return walk.Delegate(helper, subtree, wanted, folder);
    };
    for (;;) {
      helpers_.Refill(delegate, withFiles);
      for (const int gone : helpers_.TakeGone()) walk.Release(gone);
      core::FolderVisit folder;
      core::FolderJob job;
      const core::WalkAhead::Step step = walk.Next(true, folder, job);
      if (step == core::WalkAhead::Step::Done) return true;
      if (step == core::WalkAhead::Step::Visit) {
        if (!visit(folder)) return false;
        continue;
      }
      core::SubtreeHelpers::Served served = core::SubtreeHelpers::Served::Missed;
      for (int tries = 0; job.helper >= 0 && tries < 100000; ++tries) {
        if ((served = helpers_.Serve(job)) != core::SubtreeHelpers::Served::NotYet) break;
      }
      EXPECT_NE(served, core::SubtreeHelpers::Served::NotYet) << "a helper never sends " << job.path;
      if (served != core::SubtreeHelpers::Served::Listed) core::RunFolderJob(job, lister_, fold_);
      walk.Finish(job);
    }
  }

  size_t served() const { return helpers_.served(); }
  const Texts& listedByFirst() const { return first_.listed(); }
  Texts listedByHelpers() const {
    Texts listed = first_.listed();
    listed.insert(listed.end(), second_.listed().begin(), second_.listed().end());
    return listed;
  }

 private:
  MemoryLister& lister_;
  core::FoldCase fold_;
  core::SubtreeHelpers helpers_;
  InProcessHelper first_, second_;
  std::set<core::FolderId> visited_;
};

struct ScanRun {
  MemoryLister lister;
  Recorder observer;
  core::DefinitionsList list;
  std::string reportText;
  int32_t objectsScanned = 0;
  core::PathSet keptFiles{core::FoldAscii};

  // Walks on the calling thread, as the scan did before it listed ahead,
  // and, unless a stop is asked for, checks that listing ahead out of order
  // changes nothing the window is told.
  void Walk(const Texts& locations, bool examineFiles = true, const Texts& excluded = {}) {
    const core::DefinitionsIndex index(list, core::FoldAscii);
    core::FolderWalk walk(lister, index.fold(), [this] { return !observer.YieldToWindow(); });
    WalkWith(walk, observer, reportText, objectsScanned, index, locations, examineFiles, excluded);
    if (observer.stopAtYield != 0 || observer.stopAtCount != 0) return;
    // Many helpers with room to run far ahead, and a few held to the
    // smallest limits, which leave only the walk's own next folder.
    const std::pair<size_t, core::AheadLimits> ways[] = {{4, {}}, {3, {2, 1}}};
    for (const auto& [helpers, limits] : ways) {
      SCOPED_TRACE("listing ahead with " + std::to_string(helpers) + " helpers");
      MemoryLister ahead = lister;
      ahead.listed.clear();
      Recorder aheadObserver;
      std::string aheadReport;
      int32_t aheadObjects = 0;
      ScrambledAheadWalk aheadWalk(ahead, index.fold(), helpers, limits);
      WalkWith(aheadWalk, aheadObserver, aheadReport, aheadObjects, index, locations, examineFiles, excluded);
      EXPECT_EQ(Without(aheadObserver.events, "stop"), Without(observer.events, "stop"));
      EXPECT_EQ(aheadReport, reportText);
      EXPECT_EQ(aheadObjects, objectsScanned);
    }
    // Helpers that stay, the walk holding less than one listing of theirs
    // ahead, one that is gone part of the way through, and one that never
    // gets ready, which is left nothing (the first, which would be offered
    // the first subtrees).
    const std::pair<size_t, bool> helpers[] = {{SIZE_MAX, true}, {300, true}, {SIZE_MAX, false}};
    for (const auto& [bytes, ready] : helpers) {
      SCOPED_TRACE(!ready ? "with a listing helper never ready"
                          : bytes == SIZE_MAX ? "with listing helpers" : "with a listing helper that goes");
      MemoryLister local = lister;
      local.listed.clear();
      Recorder helpedObserver;
      std::string helpedReport;
      int32_t helpedObjects = 0;
      HelperAheadWalk helped(local, index.fold(), bytes == SIZE_MAX ? 16 : core::SubtreeHelpers::kHeldBytes, bytes,
                             ready);
      WalkWith(helped, helpedObserver, helpedReport, helpedObjects, index, locations, examineFiles, excluded);
      EXPECT_EQ(Without(helpedObserver.events, "stop"), Without(observer.events, "stop"));
      EXPECT_EQ(helpedReport, reportText);
      if (!ready) {
        EXPECT_EQ(helped.listedByFirst(), Texts{});
      }
      if (bytes == SIZE_MAX && ready) {
        servedByHelpers = helped.served();
        listedByHelpers = helped.listedByHelpers();
      }
    }
  }

  size_t servedByHelpers = 0;
  Texts listedByHelpers;

 private:
  void WalkWith(core::FolderSource& folders, Recorder& recorder, std::string& report, int32_t& objects,
                const core::DefinitionsIndex& index, const Texts& locations, bool examineFiles,
                const Texts& excluded) {
    core::ScanEngine engine(folders, recorder, list, index, report, objects);
    engine.Keep(keptFiles);
    for (const std::string& folder : excluded) folders.Exclude(folder);
    for (const std::string& location : locations) engine.Walk(location, examineFiles);
  }
};

// Mixed-case names handed over out of order: a case-sensitive sort, a
// breadth-first walk or the lister's own order would each show.
void AddOrderTree(ScanRun& run) {
  run.list.Assign({"header", "a.txt|one", "b.txt|two", "c.txt|three", "x.txt|four"});
  run.lister.Add("C:\\Temp", {"c.TXT", "a.txt", "B.txt"}, {"zeta", "Beta", "alpha"});
  run.lister.Add("C:\\Temp\\alpha", {"x.txt"}, {"Deep"});
  run.lister.Add("C:\\Temp\\alpha\\Deep", {"a.txt"});
  run.lister.Add("C:\\Temp\\Beta", {});
  run.lister.Add("C:\\Temp\\zeta", {"b.txt"});
}

TEST(ScanEngine, PreOrderWalkInNameOrderIgnoringCase) {
  ScanRun run;
  AddOrderTree(run);
  run.Walk({"C:\\Temp"});

  const Texts expected = {
      "folder C:\\Temp",
      "detect C:\\Temp\\a.txt > one",
      "detect C:\\Temp\\b.txt > two",
      "detect C:\\Temp\\c.txt > three",
      "folder C:\\Temp\\alpha",
      "detect C:\\Temp\\alpha\\x.txt > four",
      "folder C:\\Temp\\alpha\\Deep",
      "detect C:\\Temp\\alpha\\Deep\\a.txt > one",
      "folder C:\\Temp\\Beta",
      "folder C:\\Temp\\zeta",
      "detect C:\\Temp\\zeta\\b.txt > two",
  };
  EXPECT_EQ(Without(run.observer.events, "count "), expected);
  // Folders are not objects: the empty one counts nothing.
  EXPECT_EQ(run.objectsScanned, 6);
  EXPECT_EQ(run.observer.counts, (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_GT(run.servedByHelpers, 0u);
}

TEST(ScanEngine, DetectionAndReportLinesUseTheEntrySpelling) {
  struct Row {
    std::string location;
    std::string folder;  // as held by the lister
    std::string detection;
    std::string report;
    std::string shown;
  };
  const std::string deep = "C:\\" + std::string(90, 'd') + "\\Sub";
  const Row rows[] = {
      {"C:\\Temp", "C:\\Temp", "C:\\Temp\\foo.exe > Adware", "\r\nAdware found >C:\\Temp\\foo.exe", "C:\\Temp"},
      {"C:\\Temp\\", "C:\\Temp", "C:\\Temp\\foo.exe > Adware", "\r\nAdware found >C:\\Temp\\foo.exe", "C:\\Temp"},
      {" C:\\Temp ", "C:\\Temp", "C:\\Temp\\foo.exe > Adware", "\r\nAdware found >C:\\Temp\\foo.exe", "C:\\Temp"},
      {"C:\\", "C:\\", "C:\\\\foo.exe > Adware", "\r\nAdware found >C:\\\\foo.exe", "C:\\"},
      {"C:", "C:\\", "C:\\\\foo.exe > Adware", "\r\nAdware found >C:\\\\foo.exe", "C:\\"},
      {deep, deep, deep + "\\foo.exe > Adware", "\r\nAdware found >" + deep + "\\foo.exe", "C:\\d...\\Sub"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("location \"" + row.location + "\"");
    ScanRun run;
    run.list.Assign({"header", "foo.exe|Adware"});
    run.lister.Add(row.folder, {"FOO.EXE"});
    run.Walk({row.location});
    EXPECT_EQ(run.observer.shown, Texts{row.shown});
    EXPECT_EQ(run.observer.detections, Texts{row.detection});
    EXPECT_EQ(run.reportText, row.report);
    EXPECT_EQ(run.objectsScanned, 1);
  }
}

TEST(ScanEngine, OnlyWholeEntriesMatchEachInListOrder) {
  ScanRun run;
  run.list.Assign({
      "foo.exe|Header look-alike",  // position 0 is the header, never an entry
      "dup.exe|first",
      "plain.exe",      // no "|": not an entry
      "|empty name",    // would match everything if names were compared as prefixes
      "bar.exe|Spy|ware",
      "DUP.EXE|second",
      "exe|part of a name",
  });
  run.lister.Add("C:\\Temp", {"plain.exe", "foo.exe", "Dup.Exe", "clean.txt", "bar.exe"});
  run.Walk({"C:\\Temp"});

  EXPECT_EQ(run.observer.detections, (Texts{
                                         "C:\\Temp\\bar.exe > Spy|ware",
                                         "C:\\Temp\\dup.exe > first",
                                         "C:\\Temp\\DUP.EXE > second",
                                     }));
  EXPECT_EQ(run.reportText,
            "\r\nAdware found >C:\\Temp\\bar.exe"
            "\r\nAdware found >C:\\Temp\\dup.exe"
            "\r\nAdware found >C:\\Temp\\DUP.EXE");
  // The file with two detections is still one object.
  EXPECT_EQ(run.objectsScanned, 5);
}

TEST(ScanEngine, KeptFilesAreCountedButNeitherListedNorReported) {
  ScanRun run;
  run.list.Assign({"header", "foo.exe|Adware", "FOO.exe|Other record", "bar.exe|Spy"});
  run.lister.Add("C:\\", {"foo.exe", "bar.exe"}, {"Temp"});
  run.lister.Add("C:\\Temp", {"foo.exe"}, {"Deep"});
  run.lister.Add("C:\\Temp\\Deep", {}, {"Deeper"});
  run.lister.Add("C:\\Temp\\Deep\\Deeper", {"bar.exe"});
  run.keptFiles.Add("c:\\FOO.EXE");  // every record naming it, at the root's doubled "\"
  run.keptFiles.Add("C:\\temp\\deep");  // a folder: the file two levels down
  run.Walk({"C:\\"});
  EXPECT_EQ(run.observer.detections, (Texts{"C:\\\\bar.exe > Spy", "C:\\Temp\\foo.exe > Adware",
                                            "C:\\Temp\\FOO.exe > Other record"}));
  EXPECT_EQ(run.reportText, "\r\nAdware found >C:\\\\bar.exe\r\nAdware found >C:\\Temp\\foo.exe"
                            "\r\nAdware found >C:\\Temp\\FOO.exe");
  EXPECT_EQ(run.objectsScanned, 4);
}

TEST(ScanEngine, CountsAccumulateOverRootsAndOnlyWhenFilesAreExamined) {
  const auto addTree = [](ScanRun& run) {
    run.list.Assign({"header", "foo.exe|Adware"});
    run.lister.Add("C:\\Temp", {"foo.exe", "b.txt"}, {"sub"});
    run.lister.Add("C:\\Temp\\sub", {"c.txt"});
    run.lister.Add("D:\\", {"foo.exe", "e.txt"}, {"sub"});
    run.lister.Add("D:\\sub", {"foo.exe"});
  };

  ScanRun examined;
  addTree(examined);
  examined.Walk({"C:\\Temp", "D:\\"});
  EXPECT_EQ(examined.objectsScanned, 6);
  EXPECT_EQ(examined.observer.counts, (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(examined.observer.detections,
            (Texts{"C:\\Temp\\foo.exe > Adware", "D:\\\\foo.exe > Adware", "D:\\sub\\foo.exe > Adware"}));
  EXPECT_EQ(examined.reportText,
            "\r\nAdware found >C:\\Temp\\foo.exe\r\nAdware found >D:\\\\foo.exe\r\nAdware found >D:\\sub\\foo.exe");

  ScanRun walkedOnly;
  addTree(walkedOnly);
  walkedOnly.Walk({"C:\\Temp", "D:\\"}, false);
  EXPECT_EQ(walkedOnly.observer.shown, (Texts{"C:\\Temp", "C:\\Temp\\sub", "D:\\", "D:\\sub"}));
  EXPECT_EQ(walkedOnly.observer.shown, examined.observer.shown);
  EXPECT_EQ(walkedOnly.objectsScanned, 0);
  EXPECT_TRUE(walkedOnly.observer.counts.empty());
  EXPECT_TRUE(walkedOnly.observer.detections.empty());
  EXPECT_EQ(walkedOnly.reportText, "");
}

// Files and folders spread so that a stop can fall between files, between
// a folder's subfolders and between whole subtrees.
void AddStopTree(ScanRun& run) {
  run.list.Assign({"header", "a.exe|A", "b.exe|B"});
  run.lister.Add("C:\\Temp", {"a.exe", "n.txt"}, {"one", "two"});
  run.lister.Add("C:\\Temp\\one", {"b.exe"}, {"inner"});
  run.lister.Add("C:\\Temp\\one\\inner", {"a.exe", "m.txt"});
  run.lister.Add("C:\\Temp\\two", {}, {"leaf"});
  run.lister.Add("C:\\Temp\\two\\leaf", {"b.exe"});
}

TEST(ScanEngine, StopRequestEndsTheWalkAndKeepsWhatWasRecorded) {
  ScanRun full;
  AddStopTree(full);
  full.Walk({"C:\\Temp"});
  ASSERT_EQ(full.objectsScanned, 6);
  const int allYields = full.observer.yields;

  for (int stopAt = 1; stopAt <= allYields; ++stopAt) {
    SCOPED_TRACE("stop at call " + std::to_string(stopAt));
    ScanRun run;
    AddStopTree(run);
    run.observer.stopAtYield = stopAt;
    run.Walk({"C:\\Temp"});
    ASSERT_EQ(run.observer.events.back(), "stop") << "something was told after the stop request";
    EXPECT_EQ(run.observer.yields, stopAt) << "the walk went on asking the window";

    // Up to the stop the run is the full run's beginning, and all of it stays.
    const Texts told = Without(run.observer.events, "stop");
    ASSERT_LE(told.size(), full.observer.events.size());
    EXPECT_TRUE(std::equal(told.begin(), told.end(), full.observer.events.begin()));
    EXPECT_EQ(run.objectsScanned, static_cast<int32_t>(run.observer.counts.size()));
    std::string reportText;
    for (const std::string& line : run.observer.detections) {
      const std::string path = line.substr(0, line.find(" > "));
      reportText += "\r\nAdware found >" + path;
    }
    EXPECT_EQ(run.reportText, reportText);
  }

  ScanRun counted;
  AddStopTree(counted);
  counted.observer.stopAtCount = 3;
  counted.Walk({"C:\\Temp"});
  EXPECT_EQ(counted.objectsScanned, 3);
  EXPECT_EQ(counted.observer.shown, (Texts{"C:\\Temp", "C:\\Temp\\one"}));
  EXPECT_EQ(counted.observer.detections, (Texts{"C:\\Temp\\a.exe > A", "C:\\Temp\\one\\b.exe > B"}));
  EXPECT_EQ(counted.reportText, "\r\nAdware found >C:\\Temp\\a.exe\r\nAdware found >C:\\Temp\\one\\b.exe");
}

TEST(ScanEngine, FolderThatCannotBeListedIsPassedOver) {
  ScanRun run;
  run.list.Assign({"header", "foo.exe|Adware"});
  run.lister.Add("C:\\Temp", {"foo.exe"}, {"a", "locked", "z"});
  run.lister.Add("C:\\Temp\\a", {"foo.exe"});
  run.lister.Add("C:\\Temp\\locked", {"foo.exe", "x.txt"}, {"inner"});
  run.lister.Add("C:\\Temp\\locked\\inner", {"foo.exe"});
  run.lister.Add("C:\\Temp\\z", {"foo.exe"}, {"zz"});
  run.lister.Add("C:\\Temp\\z\\zz", {"foo.exe"});
  run.lister.MakeUnreadable("C:\\Temp\\locked");
  run.lister.Add("D:\\Gone", {"foo.exe"});
  run.lister.MakeUnreadable("D:\\Gone");
  run.lister.Add("E:\\", {"foo.exe"});

  run.Walk({"C:\\Temp", "D:\\Gone", "E:\\"});

  // Nothing stands in for the unreadable folders: neither their contents
  // nor a second pass over a folder already listed.
  EXPECT_EQ(run.observer.detections, (Texts{
                                         "C:\\Temp\\foo.exe > Adware",
                                         "C:\\Temp\\a\\foo.exe > Adware",
                                         "C:\\Temp\\z\\foo.exe > Adware",
                                         "C:\\Temp\\z\\zz\\foo.exe > Adware",
                                         "E:\\\\foo.exe > Adware",
                                     }));
  EXPECT_EQ(run.objectsScanned, 5);
  for (const std::string& folder : run.lister.listed) {
    EXPECT_EQ(folder.find("locked\\"), std::string::npos) << folder;
  }
}

// Names ending in blanks are legal on disk and a known hiding place; the
// path of such a folder must reach the lister unchanged.
TEST(ScanEngine, SubfolderNamesEndingInBlanksAreWalkedUnderTheirOwnName) {
  ScanRun run;
  run.list.Assign({"header", "foo.exe|Adware"});
  run.lister.Add("C:\\Temp", {}, {"evil ", "evil", "  "});
  run.lister.Add("C:\\Temp\\evil ", {"foo.exe"});
  run.lister.Add("C:\\Temp\\evil", {"foo.exe"});
  run.lister.Add("C:\\Temp\\  ", {"foo.exe"});
  run.Walk({"C:\\Temp"});
  EXPECT_EQ(run.observer.detections, (Texts{"C:\\Temp\\  \\foo.exe > Adware", "C:\\Temp\\evil\\foo.exe > Adware",
                                            "C:\\Temp\\evil \\foo.exe > Adware"}));
  EXPECT_EQ(run.objectsScanned, 3);
}

TEST(ScanEngine, FolderAlreadyWalkedOrExcludedIsNotEntered) {
  ScanRun linked;
  linked.list.Assign({"header", "foo.exe|Adware"});
  linked.lister.Add("C:\\Temp", {"foo.exe"}, {"Alias", "back", "Real"});
  linked.lister.Link("C:\\Temp\\back", "C:\\Temp");          // leads back to an ancestor
  linked.lister.Link("C:\\Temp\\Alias", "C:\\Temp\\Real");   // the same folder as a sibling
  linked.lister.Add("C:\\Temp\\Real", {"foo.exe"}, {"Deeper", "up"});
  linked.lister.Link("C:\\Temp\\Real\\up", "C:\\Temp");
  linked.lister.Add("C:\\Temp\\Real\\Deeper", {"foo.exe"});
  linked.Walk({"C:\\Temp", "C:\\Temp\\Real"});

  EXPECT_EQ(linked.observer.shown, (Texts{"C:\\Temp", "C:\\Temp\\Alias", "C:\\Temp\\Alias\\Deeper"}));
  // Nothing is walked below a folder met a second time; nor by a helper
  // below a link back to a folder above its part of the tree.
  for (const std::string& folder : linked.lister.listed) {
    for (const char* again : {"\\back\\", "\\up\\", "\\Real\\"}) {
      EXPECT_EQ(folder.find(again), std::string::npos) << folder;
    }
  }
  for (const std::string& folder : linked.listedByHelpers) {
    for (const char* again : {"\\back", "\\up"}) EXPECT_EQ(folder.find(again), std::string::npos) << folder;
  }
  EXPECT_EQ(linked.observer.detections, (Texts{
                                            "C:\\Temp\\foo.exe > Adware",
                                            "C:\\Temp\\Alias\\foo.exe > Adware",
                                            "C:\\Temp\\Alias\\Deeper\\foo.exe > Adware",
                                        }));
  EXPECT_EQ(linked.objectsScanned, 3);

  // A link further on to a folder walked before: a listing helper that
  // walks that part on its own lists it, which must not pass for the
  // listing of the folder after it.
  ScanRun later;
  later.list.Assign({"header", "foo.exe|Adware"});
  later.lister.Add("C:\\Temp", {}, {"a", "b"});
  later.lister.Add("C:\\Temp\\a", {}, {"x"});
  later.lister.Add("C:\\Temp\\a\\x", {"foo.exe"});
  later.lister.Add("C:\\Temp\\b", {}, {"link", "y"});
  later.lister.Link("C:\\Temp\\b\\link", "C:\\Temp\\a\\x");
  later.lister.Add("C:\\Temp\\b\\y", {"bar.exe"});
  later.Walk({"C:\\Temp"});
  EXPECT_EQ(later.observer.shown,
            (Texts{"C:\\Temp", "C:\\Temp\\a", "C:\\Temp\\a\\x", "C:\\Temp\\b", "C:\\Temp\\b\\y"}));
  EXPECT_GT(later.servedByHelpers, 0u);

  struct Row {
    std::string excluded;
    std::string location;
    Texts shown;
    Texts detections;
  };
  const Texts outsideShown = {"C:\\Temp", "C:\\Temp\\z"};
  const Texts outside = {"C:\\Temp\\foo.exe > Adware", "C:\\Temp\\z\\foo.exe > Adware"};
  const Row rows[] = {
      {"C:\\Temp\\Quarantine", "C:\\Temp", outsideShown, outside},
      {"C:\\Temp\\Quarantine\\", "C:\\Temp", outsideShown, outside},
      {" C:\\Temp\\Quarantine ", "C:\\Temp", outsideShown, outside},
      {"C:\\Temp", "C:\\Temp", {}, {}},
      {"C:\\Temp\\Quarantine", "C:\\Temp\\Quarantine", {}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("excluded \"" + row.excluded + "\", walking " + row.location);
    ScanRun run;
    run.list.Assign({"header", "foo.exe|Adware"});
    run.lister.Add("C:\\Temp", {"foo.exe"}, {"Quarantine", "z"});
    run.lister.Add("C:\\Temp\\Quarantine", {"foo.exe", "bar.exe"}, {"old"});
    run.lister.Add("C:\\Temp\\Quarantine\\old", {"foo.exe"});
    run.lister.Add("C:\\Temp\\z", {"foo.exe"});
    run.Walk({row.location}, true, {row.excluded});
    EXPECT_EQ(run.observer.shown, row.shown);
    EXPECT_EQ(run.observer.detections, row.detections);
    EXPECT_EQ(run.objectsScanned, static_cast<int32_t>(row.detections.size()));
    for (const std::string& folder : run.lister.listed) {
      EXPECT_EQ(folder.find("Quarantine\\"), std::string::npos) << folder;
    }
  }
}

// A cloned disk keeps its volume's serial number and every file index, so
// only the device it is mounted as tells its folders from the original's.
TEST(ScanEngine, VolumeIdentityTellsDevicesApartButNotFoldersOfOneDevice) {
  const uint64_t volume2 = core::VolumeIdentity(0x1234, "\\Device\\HarddiskVolume2\\Users");
  EXPECT_EQ(core::VolumeIdentity(0x1234, "\\device\\harddiskvolume2"), volume2);
  EXPECT_EQ(core::VolumeIdentity(0x1234, "\\Device\\HarddiskVolume2\\"), volume2);
  EXPECT_NE(core::VolumeIdentity(0x1234, "\\Device\\HarddiskVolume3\\Users"), volume2);
  EXPECT_NE(core::VolumeIdentity(0x1235, "\\Device\\HarddiskVolume2\\Users"), volume2);
  EXPECT_EQ(volume2 & 0xFFFFFFFFu, 0x1234u);
  EXPECT_EQ(core::VolumeIdentity(0x1234, ""), 0x1234u);
}

TEST(ScanEngine, FoldersOfUnknownIdentityAreWalkedAndALoopEndsAtTheDepthLimit) {
  ScanRun run;
  AddOrderTree(run);
  run.lister.unknownIdentities = true;
  run.lister.Add("C:\\Temp\\Beta", {}, {"loop"});
  run.lister.Link("C:\\Temp\\Beta\\loop", "C:\\Temp");
  run.Walk({"C:\\Temp"});

  ASSERT_GE(run.observer.detections.size(), 5u);
  EXPECT_EQ(Texts(run.observer.detections.begin(), run.observer.detections.begin() + 5),
            (Texts{"C:\\Temp\\a.txt > one", "C:\\Temp\\b.txt > two", "C:\\Temp\\c.txt > three",
                   "C:\\Temp\\alpha\\x.txt > four", "C:\\Temp\\alpha\\Deep\\a.txt > one"}));
  EXPECT_EQ(run.observer.detections.back(), "C:\\Temp\\zeta\\b.txt > two");
  size_t deepest = 0;
  for (const std::string& folder : run.lister.listed) {
    deepest = std::max<size_t>(deepest, std::count(folder.begin(), folder.end(), '\\'));
  }
  EXPECT_EQ(deepest, core::kUnknownIdentityDepth);
}

// "C:\Deep" with one "d" below each level, down to kDepth; every level
// holds "f.txt" and the deepest one also "foo.exe". Depth follows from the
// path's length, so the lister itself stays small and fast.
class DeepLister : public core::FolderLister {
 public:
  static constexpr size_t kDepth = 20000;

  bool List(const std::string& folder, const core::FolderId*, Texts& files,
            std::vector<core::Subfolder>& subfolders) override {
    size_t depth;
    if (!DepthOf(folder, depth)) return false;
    files.push_back("f.txt");
    if (depth < kDepth) {
      core::Subfolder below;
      below.name = "d";
      below.id = {3, depth + 1};
      below.identified = true;
      subfolders.push_back(std::move(below));
    } else {
      files.push_back("foo.exe");
    }
    return true;
  }

  bool Identify(const std::string& folder, core::FolderId& id) override {
    size_t depth;
    if (!DepthOf(folder, depth)) return false;
    id.volume = 3;
    id.index = depth;
    return true;
  }

 private:
  static bool DepthOf(const std::string& folder, size_t& depth) {
    const std::string root = "C:\\Deep";
    if (folder.size() < root.size() || (folder.size() - root.size()) % 2 != 0) return false;
    depth = (folder.size() - root.size()) / 2;
    if (depth == 0) return folder == root;
    return depth <= kDepth && folder.compare(folder.size() - 2, 2, "\\d") == 0;
  }
};

TEST(ScanEngine, VeryDeepTreeIsWalkedWholeWithoutExhaustingTheStack) {
  DeepLister lister;
  Recorder observer;
  core::DefinitionsList list;
  list.Assign({"header", "foo.exe|Adware"});
  const core::DefinitionsIndex index(list, core::FoldAscii);
  std::string reportText;
  int32_t objectsScanned = 0;
  core::FolderWalk walk(lister, index.fold(), [] { return true; });
  core::ScanEngine engine(walk, observer, list, index, reportText, objectsScanned);
  engine.Walk("C:\\Deep", true);

  EXPECT_EQ(observer.shown.size(), DeepLister::kDepth + 1);
  EXPECT_EQ(observer.shown.back(), "C:\\D...\\d");
  EXPECT_EQ(objectsScanned, static_cast<int32_t>(DeepLister::kDepth + 2));
  ASSERT_EQ(observer.detections.size(), 1u);
  std::string deepest = "C:\\Deep";
  for (size_t level = 0; level < DeepLister::kDepth; ++level) deepest += "\\d";
  EXPECT_EQ(observer.detections[0], deepest + "\\foo.exe > Adware");
}

}  // namespace

namespace {

// Listing ahead stops at its limit in folders or in bytes, whichever comes
// first, and goes on as the walk takes what was listed.
TEST(WalkAhead, ListingAheadStopsAtItsLimits) {
  MemoryLister lister;
  Texts files, subfolders;
  for (int i = 0; i < 40; ++i) files.push_back("a-file-with-a-rather-long-name-" + std::to_string(i) + ".dat");
  for (int i = 0; i < 20; ++i) subfolders.push_back("sub" + std::to_string(100 + i));
  lister.Add("C:\\Wide", files, subfolders);
  for (const std::string& name : subfolders) lister.Add("C:\\Wide\\" + name, files);

  const core::AheadLimits byFolders{3, size_t{1} << 30};
  const core::AheadLimits byBytes{1000, 20000};
  for (const core::AheadLimits& limits : {byFolders, byBytes}) {
    SCOPED_TRACE("limits " + std::to_string(limits.folders) + " folders, " + std::to_string(limits.bytes) + " bytes");
    std::set<core::FolderId> visited;
    core::WalkAhead walk("C:\\Wide", true, visited, limits);
    core::FolderJob job;
    size_t taken = 0;
    while (walk.TakeJobAhead(job)) {
      core::RunFolderJob(job, lister, core::FoldAscii);
      walk.Finish(job);
      ASSERT_LT(++taken, 100u);
    }
    if (limits.folders == byFolders.folders) {
      EXPECT_EQ(walk.foldersAhead(), 3u);
    } else {
      EXPECT_GE(walk.bytesAhead(), limits.bytes);
      EXPECT_GT(walk.foldersAhead(), 2u);
      EXPECT_LT(walk.foldersAhead(), subfolders.size());
    }
    core::FolderVisit visit;
    ASSERT_EQ(walk.Next(false, visit, job), core::WalkAhead::Step::Visit);
    EXPECT_EQ(visit.folder, "C:\\Wide");
    EXPECT_EQ(visit.foldedFiles.size(), files.size());
    EXPECT_TRUE(walk.TakeJobAhead(job));
  }
}

}  // namespace

namespace {

// A subtree left to a listing helper is never handed to a listing thread,
// until it is taken back from a helper that is gone; the walk's own next
// folder is never left to a helper, and the folders above go with a subtree.
TEST(WalkAhead, SubtreesLeftToAHelperAreForTheWalkAlone) {
  MemoryLister lister;
  lister.Add("C:\\Top", {}, {"a", "b", "c"});
  for (const char* name : {"a", "b", "c"}) lister.Add(std::string("C:\\Top\\") + name, {"f.txt"});
  std::set<core::FolderId> visited;
  core::WalkAhead walk("C:\\Top", true, visited);
  core::FolderJob job;
  core::FolderVisit visit;
  core::WalkAhead::Step step;
  while ((step = walk.Next(true, visit, job)) == core::WalkAhead::Step::Job) {
    core::RunFolderJob(job, lister, core::FoldAscii);
    walk.Finish(job);
  }
  ASSERT_EQ(step, core::WalkAhead::Step::Visit);

  core::DelegatedFolder root;
  ASSERT_TRUE(walk.Delegate(0, 1, [](const std::string&) { return true; }, root));
  EXPECT_EQ(root.path, "C:\\Top\\b");
  core::FolderId top;
  ASSERT_TRUE(lister.Identify("C:\\Top", top));
  EXPECT_EQ(root.above, std::vector<core::FolderId>{top});
  EXPECT_FALSE(walk.Delegate(1, 2, [](const std::string& path) { return path != "C:\\Top\\c"; }, root));

  const auto takeAll = [&walk] {
    Texts taken;
    core::FolderJob ahead;
    while (walk.TakeJobAhead(ahead)) taken.push_back(ahead.path);
    return taken;
  };
  EXPECT_EQ(takeAll(), (Texts{"C:\\Top\\a", "C:\\Top\\c"}));
  walk.Release(0);
  EXPECT_EQ(takeAll(), Texts{"C:\\Top\\b"});
}

}  // namespace

namespace {

// A helper that says it is ready and then sends nothing.
class SilentHelper : public core::HelperLink {
 public:
  SilentHelper() { core::AppendReady(waiting_); }
  bool Send(std::string_view bytes) override {
    core::SubtreeRequest request;
    size_t used = 0;
    if (core::DecodeRequest(bytes, used, request) == core::Decoded::Complete) roots.push_back(request.root);
    return true;
  }
  bool ReceiveWaiting(std::string& into, size_t) override {
    into += std::exchange(waiting_, std::string());
    return true;
  }
  Texts roots;

 private:
  std::string waiting_;
};

// The walk lists a helper's folder itself, rather than wait, when the
// helper is still on a subtree the walk has gone past, when the helper has
// been silent too long, and when the subtree's request would be too large
// to send without waiting.
TEST(SubtreeHelpers, TheWalkListsForItselfWhatAHelperCannotSoonSend) {
  uint64_t now = 1000;
  core::SubtreeHelpers helpers(core::FoldAscii, core::SubtreeHelpers::kHeldBytes, [&now] { return now; });
  SilentHelper link;
  helpers.Add(link);
  core::DelegatedFolder deep;
  deep.path = "C:\\deep";
  deep.above.resize(core::SubtreeHelpers::kLargestRequest / sizeof(core::FolderId) + 1);
  std::vector<core::DelegatedFolder> roots(3);
  roots[0] = deep;
  roots[1].path = "C:\\a";
  roots[2].path = "C:\\b";
  size_t next = 0;
  ASSERT_TRUE(helpers.AllReady());
  helpers.Refill(
      [&](int, uint32_t, const std::function<bool(const std::string&)>&, core::DelegatedFolder& root) {
        if (next == roots.size()) return false;
        root = roots[next++];
        return true;
      },
      true);
  EXPECT_EQ(link.roots, (Texts{"C:\\a", "C:\\b"}));

  const auto serve = [&helpers](uint32_t subtree, const std::string& path) {
    core::FolderJob job;
    job.helper = 0;
    job.subtree = subtree;
    job.path = path;
    return helpers.Serve(job);
  };
  using Served = core::SubtreeHelpers::Served;
  EXPECT_EQ(serve(1, "C:\\deep"), Served::Missed);
  EXPECT_EQ(serve(3, "C:\\b"), Served::Missed);
  EXPECT_EQ(serve(2, "C:\\a"), Served::NotYet);
  now += core::SubtreeHelpers::kSilenceLimitMs - 1;
  EXPECT_EQ(serve(2, "C:\\a"), Served::NotYet);
  EXPECT_TRUE(helpers.TakeGone().empty());
  ++now;
  EXPECT_EQ(serve(2, "C:\\a"), Served::Missed);
  EXPECT_EQ(helpers.TakeGone(), std::vector<int>{0});
}

}  // namespace
