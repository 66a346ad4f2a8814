#include "core/guard_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/definitions_index.h"
#include "core/definitions_list.h"

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
  std::vector<std::string> Lines(FileChange change, const std::string& path) {
    std::vector<std::string> lines;
    for (const core::GuardFinding& finding : filter_.Consider(change, path, isExcluded_)) {
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

TEST_F(GuardFilterTest, ReportsCreatedAndRenamedListedFilesOnceAndNothingElse) {
  using Lines_ = std::vector<std::string>;
  struct Row {
    FileChange change;
    const char* path;
    Lines_ lines;
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
  };
  for (const Row& row : rows) EXPECT_EQ(Lines(row.change, row.path), row.lines) << row.path;
  // A file the user brought back from quarantine arrives unannounced.
  filter_.Pass("E:\\Restored\\BAD.exe");
  EXPECT_EQ(Lines(FileChange::Created, "E:\\restored\\bad.exe"), Lines_{});
}

TEST(GuardFilter, ChangedPath) {
  EXPECT_EQ(core::ChangedPath("C:\\", "sub\\a.exe"), "C:\\sub\\a.exe");
  EXPECT_EQ(core::ChangedPath("C:\\x", "a.exe"), "C:\\x\\a.exe");
}

}  // namespace
