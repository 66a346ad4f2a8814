// Taking detection lines apart for removal, and the small rules around it.
#include <gtest/gtest.h>

#include <climits>

#include "core/definitions_index.h"
#include "core/removal_text.h"

namespace {

TEST(RemovalPaths, DerivedFromTheDetectionLine) {
  struct Row {
    const char* line;
    const char* file;
    const char* name;
    const char* quarantined;
    const char* sibling;
  };
  const Row rows[] = {
      {"C:\\Temp\\foo.exe > Adware", "C:\\Temp\\foo.exe", "foo.exe", "D:\\App\\Quarantine\\foo.exe", "C:\\Temp\\foo.QVR"},
      {"C:\\\\foo.exe > Adware", "C:\\\\foo.exe", "foo.exe", "D:\\App\\Quarantine\\foo.exe", "C:\\\\foo.QVR"},
      // The description may hold " > " itself; the path ends at the first.
      {"C:\\a b\\x.tar.gz > Adware > toolbar", "C:\\a b\\x.tar.gz", "x.tar.gz", "D:\\App\\Quarantine\\x.tar.gz",
       "C:\\a b\\x.tar.QVR"},
      // Without an extension the copy still lies beside the file, also when
      // a folder on the way has a dot in its name.
      {"C:\\Temp\\tracker > Spyware", "C:\\Temp\\tracker", "tracker", "D:\\App\\Quarantine\\tracker",
       "C:\\Temp\\tracker.QVR"},
      {"C:\\a.b\\tracker > Spyware", "C:\\a.b\\tracker", "tracker", "D:\\App\\Quarantine\\tracker",
       "C:\\a.b\\tracker.QVR"},
      {"C:\\Temp\\.hidden > x", "C:\\Temp\\.hidden", ".hidden", "D:\\App\\Quarantine\\.hidden", "C:\\Temp\\.QVR"},
  };
  for (const Row& row : rows) {
    core::RemovalPaths paths;
    ASSERT_TRUE(core::PathsForDetection(row.line, "D:\\App", paths)) << row.line;
    EXPECT_EQ(paths.filePath, row.file) << row.line;
    EXPECT_EQ(paths.fileName, row.name) << row.line;
    EXPECT_EQ(paths.quarantinePath, row.quarantined) << row.line;
    EXPECT_EQ(paths.siblingPath, row.sibling) << row.line;
  }
  core::RemovalPaths untouched;
  for (const char* broken : {"no separator", " > only a description", "C:\\Temp\\ > folder only"}) {
    EXPECT_FALSE(core::PathsForDetection(broken, "D:\\App", untouched)) << broken;
  }
}

TEST(RemovalRules, CounterPlatformAndNamingEntries) {
  EXPECT_EQ(core::AddRemoved(0), 1);
  EXPECT_EQ(core::AddRemoved(INT32_MAX - 1), INT32_MAX);
  EXPECT_EQ(core::AddRemoved(INT32_MAX), INT32_MAX);
  EXPECT_EQ(core::AddRemoved(INT32_MAX - 5, 10), INT32_MAX);

  EXPECT_EQ(core::ProcessPassFor(1), core::ProcessPass::Run);
  EXPECT_EQ(core::ProcessPassFor(2), core::ProcessPass::Run);
  for (int32_t other : {0, 3, -1}) EXPECT_EQ(core::ProcessPassFor(other), core::ProcessPass::NotRecognized);

  core::DefinitionsList list;
  list.Assign({"hdr.exe|header", "no separator", "foo.exe|A", "FOO.EXE|B", "bar.exe|C", "|empty name"});
  const core::DefinitionsIndex index(list, core::FoldAscii);
  EXPECT_EQ(core::EntriesNaming("Foo.Exe", index), 2u);
  EXPECT_EQ(core::EntriesNaming("bar.exe", index), 1u);
  EXPECT_EQ(core::EntriesNaming("hdr.exe", index), 0u);
  EXPECT_EQ(core::EntriesNaming("no separator", index), 0u);
  EXPECT_EQ(core::EntriesNaming("", index), 0u);
  EXPECT_EQ(core::FileNameOf("C:\\WINDOWS\\NOTEPAD.EXE"), "NOTEPAD.EXE");
  EXPECT_EQ(core::FileNameOf("notepad.exe"), "notepad.exe");
}

TEST(RemovalRules, CoreWindowsProcessesAreOnlyThoseOnTheListInTheWindowsOrSystemFolder) {
  const std::pair<const char*, bool> rows[] = {
      {"C:\\WINDOWS\\explorer.exe", true},
      {"c:\\windows\\system32\\SVCHOST.EXE", true},
      {"C:\\Windows\\System32\\csrss.exe", true},
      {"\\??\\C:\\Windows\\system32\\winlogon.exe", true},
      {"\\SystemRoot\\System32\\smss.exe", true},
      {"C:\\Temp\\explorer.exe", false},
      {"C:\\Windows\\System32\\drivers\\svchost.exe", false},
      {"C:\\Windows\\notepad.exe", false},
      {"C:\\Windows\\System32\\seekbar.exe", false},
      {"services.exe", false},
  };
  for (const auto& [path, core] : rows) {
    EXPECT_EQ(core::IsCoreSystemProcess(path, "C:\\Windows", "C:\\Windows\\System32", core::FoldAscii), core)
        << path;
  }
}

}  // namespace
