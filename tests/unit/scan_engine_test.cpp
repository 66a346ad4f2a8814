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

// Lists ahead of the walk as the listing threads do, with up to `threads` jobs
// running at once and each finished in a scrambled order, all on this
// thread so that a failure repeats.
class ScrambledAheadWalk : public core::FolderSource {
 public:
  ScrambledAheadWalk(core::FolderLister& lister, core::FoldCase fold, size_t threads, core::AheadLimits limits)
      : lister_(lister), fold_(std::move(fold)), threads_(threads), limits_(limits) {}

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
      while (running.size() < threads_ && walk.TakeJobAhead(job)) {
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
  size_t threads_;
  core::AheadLimits limits_;
  std::set<core::FolderId> visited_;
  uint32_t seed_ = 1;
};

struct ScanRun {
  MemoryLister lister;
  Recorder observer;
  core::DefinitionsList list;
  std::string reportText;
  int32_t objectsScanned = 0;
  core::PathSet keptFiles{core::FoldAscii};

  // Walks as the scan does, its listings ending in a scrambled order, and,
  // unless a stop is asked for, checks that a walk held to the smallest
  // limits, which leave only the walk's own next folder, tells the window
  // the same.
  void Walk(const Texts& locations, bool examineFiles = true, const Texts& excluded = {}) {
    const core::DefinitionsIndex index(list, core::FoldAscii);
    ScrambledAheadWalk walk(lister, index.fold(), 4, {});
    WalkWith(walk, observer, reportText, objectsScanned, index, locations, examineFiles, excluded);
    if (observer.stopAtYield != 0 || observer.stopAtCount != 0) return;
    MemoryLister held = lister;
    held.listed.clear();
    Recorder heldObserver;
    std::string heldReport;
    int32_t heldObjects = 0;
    ScrambledAheadWalk heldWalk(held, index.fold(), 3, {2, 1});
    WalkWith(heldWalk, heldObserver, heldReport, heldObjects, index, locations, examineFiles, excluded);
    EXPECT_EQ(heldObserver.events, observer.events);
    EXPECT_EQ(heldReport, reportText);
    EXPECT_EQ(heldObjects, objectsScanned);
  }

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
      {"C:\\", "C:\\", "C:\\foo.exe > Adware", "\r\nAdware found >C:\\foo.exe", "C:\\"},
      {"C:", "C:\\", "C:\\foo.exe > Adware", "\r\nAdware found >C:\\foo.exe", "C:\\"},
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
  EXPECT_EQ(run.observer.detections, (Texts{"C:\\bar.exe > Spy", "C:\\Temp\\foo.exe > Adware",
                                            "C:\\Temp\\FOO.exe > Other record"}));
  EXPECT_EQ(run.reportText, "\r\nAdware found >C:\\bar.exe\r\nAdware found >C:\\Temp\\foo.exe"
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
            (Texts{"C:\\Temp\\foo.exe > Adware", "D:\\foo.exe > Adware", "D:\\sub\\foo.exe > Adware"}));
  EXPECT_EQ(examined.reportText,
            "\r\nAdware found >C:\\Temp\\foo.exe\r\nAdware found >D:\\foo.exe\r\nAdware found >D:\\sub\\foo.exe");

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
  // The folder reached when the stop came is named, and nothing of it examined.
  EXPECT_EQ(counted.observer.shown, (Texts{"C:\\Temp", "C:\\Temp\\one", "C:\\Temp\\one\\inner"}));
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
                                         "E:\\foo.exe > Adware",
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
  // Nothing is walked below a folder met a second time, not even ahead of
  // the walk.
  for (const std::string& folder : linked.lister.listed) {
    for (const char* again : {"\\back\\", "\\up\\", "\\Real\\"}) {
      EXPECT_EQ(folder.find(again), std::string::npos) << folder;
    }
  }
  EXPECT_EQ(linked.observer.detections, (Texts{
                                            "C:\\Temp\\foo.exe > Adware",
                                            "C:\\Temp\\Alias\\foo.exe > Adware",
                                            "C:\\Temp\\Alias\\Deeper\\foo.exe > Adware",
                                        }));
  EXPECT_EQ(linked.objectsScanned, 3);

  // A link further on to a folder walked before, whose identity is learnt
  // ahead of the walk: its listing must not pass for the folder after it.
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
  ScrambledAheadWalk walk(lister, index.fold(), 4, {});
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
