#include "core/guard_filter.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/definitions_index.h"
#include "core/definitions_list.h"
#include "core/guard_status.h"

namespace {

using core::FileChange;

core::DefinitionsList TestList() {
  core::DefinitionsList list;
  list.Assign({"Ver1.0", "bad.exe|Bad thing", "twice.dll|First record", "TWICE.DLL|Second record"});
  return list;
}

class GuardFilterTest : public ::testing::Test {
 protected:
  // The detection lines the filter gives for one change.
  // `now` describes the file as it is then; none for a file gone.
  std::vector<std::string> Lines(FileChange change, const std::string& path,
                                 std::optional<core::FileState> now = core::FileState{10, 100}) {
    std::vector<std::string> lines;
    for (const core::GuardFinding& finding : filter_.Consider(change, path, isExcluded_, now)) {
      EXPECT_EQ(finding.path, path);
      lines.push_back(core::DetectionLine(finding.detection));
    }
    return lines;
  }

  const core::DefinitionsList list_ = TestList();
  core::DefinitionsIndex index_{list_, core::FoldAscii};
  core::GuardFilter filter_{list_, index_, "C:\\Program\\Quarantine\\"};
  std::function<bool(const std::string&)> isExcluded_ = [](const std::string& path) {
    return core::FoldAscii(path) == "d:\\keep\\bad.exe";
  };
};

TEST_F(GuardFilterTest, ReportsListedFilesOnceUntilTheyGoOrChangeAndNothingElse) {
  using Lines_ = std::vector<std::string>;
  using core::FileState;
  struct Row {
    FileChange change;
    const char* path;
    Lines_ lines;
    std::optional<FileState> now = FileState{10, 100};
  };
  const Row rows[] = {
      {FileChange::Created, "E:\\BAD.EXE", {"E:\\bad.exe > Bad thing"}},
      {FileChange::Created, "E:\\bad.exe", {}},  // the same file again
      {FileChange::RenamedTo, "E:\\new\\bad.exe", {"E:\\new\\bad.exe > Bad thing"}},
      {FileChange::Created, "E:\\new\\twice.dll", {"E:\\new\\twice.dll > First record", "E:\\new\\TWICE.DLL > Second record"}},
      {FileChange::Modified, "E:\\other\\bad.exe", {}},
      {FileChange::RenamedFrom, "E:\\other\\bad.exe", {}},
      {FileChange::Removed, "E:\\other\\bad.exe", {}},
      {FileChange::Created, "E:\\other\\bad.exe.txt", {}},
      {FileChange::Created, "E:\\bad.exe\\", {}},
      {FileChange::Created, "c:\\program\\quarantine\\bad.exe", {}},
      {FileChange::Created, "C:\\Program\\Quarantine\\sub\\bad.exe", {}},
      {FileChange::Created, "C:\\Program\\Quarantine2\\bad.exe", {"C:\\Program\\Quarantine2\\bad.exe > Bad thing"}},
      {FileChange::Created, "D:\\Keep\\bad.exe", {}},  // excluded
      {FileChange::Created, "D:\\Keep\\sub\\bad.exe", {"D:\\Keep\\sub\\bad.exe > Bad thing"}},
      // Gone by the time it is considered: created and deleted at once.
      {FileChange::Created, "E:\\brief\\bad.exe", {}, std::nullopt},
      {FileChange::Found, "E:\\brief\\bad.exe", {"E:\\brief\\bad.exe > Bad thing"}},
      // A check finds it as it was reported: nothing new.
      {FileChange::Found, "E:\\new\\bad.exe", {}},
      // Written again (a new size or write time), or deleted and made again.
      {FileChange::Created, "E:\\new\\bad.exe", {"E:\\new\\bad.exe > Bad thing"}, FileState{10, 200}},
      {FileChange::Created, "E:\\new\\bad.exe", {}, FileState{10, 200}},
      {FileChange::Removed, "E:\\NEW\\bad.exe", {}, std::nullopt},
      {FileChange::Created, "E:\\new\\bad.exe", {"E:\\new\\bad.exe > Bad thing"}, FileState{10, 200}},
      {FileChange::RenamedFrom, "E:\\new\\bad.exe", {}, std::nullopt},
      {FileChange::Found, "E:\\new\\bad.exe", {"E:\\new\\bad.exe > Bad thing"}, FileState{10, 200}},
  };
  for (const Row& row : rows) EXPECT_EQ(Lines(row.change, row.path, row.now), row.lines) << row.path;
  // A file the user brought back from quarantine arrives unannounced.
  filter_.Pass("E:\\Restored\\BAD.exe", {10, 100});
  EXPECT_EQ(Lines(FileChange::Created, "E:\\restored\\bad.exe"), Lines_{});
}

TEST(GuardStatus, TheNoteSaysWhatWasMissedWhatIsCheckedAndWhereTheWatchIsDown) {
  using core::GuardDriveStatus;
  using core::MissedCause;
  struct Row {
    std::vector<GuardDriveStatus> drives;
    std::string note;
  };
  const Row rows[] = {
      {{{"C:\\"}, {"E:\\", MissedCause::Start, false, 3}}, ""},
      {{{"C:\\", MissedCause::Start, true}}, "Not yet watching C:\\ fully: checking its folders first."},
      {{{"E:\\", MissedCause::Overflow, true}},
       "Changes on E:\\ were missed while many files changed at once: checking its folders again."},
      {{{"C:\\", MissedCause::Start, true}, {"E:\\", MissedCause::Overflow, false, 1}},
       "Not yet watching C:\\ fully: checking its folders first. Changes on E:\\ were missed while many files "
       "changed at once; its folders were checked again: 1 file found."},
      {{{"E:\\", MissedCause::WatchEnded, false, 0}},
       "The watch of E:\\ stopped and was started again; its folders were checked again: nothing found."},
      {{{"E:\\", MissedCause::WatchEnded, true, 2, 8}},
       "The watch of E:\\ stopped and could not be started again: trying again in 8 s. Files arriving there "
       "meanwhile are not seen."},
  };
  for (const Row& row : rows) EXPECT_EQ(core::GuardNote(row.drives), row.note);
}

TEST(GuardFilter, ChangedPath) {
  EXPECT_EQ(core::ChangedPath("C:\\", "sub\\a.exe"), "C:\\sub\\a.exe");
  EXPECT_EQ(core::ChangedPath("C:\\x", "a.exe"), "C:\\x\\a.exe");
}

}  // namespace
