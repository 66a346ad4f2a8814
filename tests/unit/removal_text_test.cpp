// Where a removal puts a detected file's copies, and the small rules around it.
#include <gtest/gtest.h>

#include <climits>

#include "core/paths.h"
#include "core/definitions_index.h"
#include "core/removal_text.h"

namespace {

TEST(RemovalPaths, DerivedFromTheDetection) {
  struct Row {
    const char* path;
    const char* name;
    const char* quarantined;
    const char* sibling;
  };
  const Row rows[] = {
      {"C:\\Temp\\foo.exe", "foo.exe", "D:\\App\\Quarantine\\foo.exe", "C:\\Temp\\foo.QVR"},
      {"C:\\\\foo.exe", "foo.exe", "D:\\App\\Quarantine\\foo.exe", "C:\\\\foo.QVR"},
      {"C:\\a b\\x.tar.gz", "x.tar.gz", "D:\\App\\Quarantine\\x.tar.gz",
       "C:\\a b\\x.tar.QVR"},
      // " > " is legal in a path and separates nothing here.
      {"C:\\a > b\\x.exe", "x.exe", "D:\\App\\Quarantine\\x.exe", "C:\\a > b\\x.QVR"},
      // Without an extension the copy still lies beside the file, also when
      // a folder on the way has a dot in its name.
      {"C:\\Temp\\tracker", "tracker", "D:\\App\\Quarantine\\tracker",
       "C:\\Temp\\tracker.QVR"},
      {"C:\\a.b\\tracker", "tracker", "D:\\App\\Quarantine\\tracker",
       "C:\\a.b\\tracker.QVR"},
      {"C:\\Temp\\.hidden", ".hidden", "D:\\App\\Quarantine\\.hidden", "C:\\Temp\\.QVR"},
      // Never under a name that start-up clears away as a cut-short copy.
      {"C:\\Temp\\x.Unfinished", "x.Unfinished", "D:\\App\\Quarantine\\x.Unfinished.quarantined",
       "C:\\Temp\\x.QVR"},
  };
  for (const Row& row : rows) {
    const core::RemovalPaths paths = core::PathsForDetection({row.path, "Adware > toolbar"}, "D:\\App");
    EXPECT_EQ(paths.filePath, row.path);
    EXPECT_EQ(paths.fileName, row.name) << row.path;
    EXPECT_EQ(paths.quarantinePath, row.quarantined) << row.path;
    EXPECT_EQ(paths.siblingPath, row.sibling) << row.path;
    EXPECT_EQ(paths.description, "Adware > toolbar") << row.path;
  }
}

TEST(RemovalPaths, AnUnfinishedCopyFitsTheLongestNameAFileMayHave) {
  const std::string folder = "D:\\App\\Quarantine\\";
  EXPECT_EQ(core::UnfinishedCopyPath(folder + "foo.exe"), folder + "foo.exe.unfinished");
  std::string euros = "x";
  for (int i = 0; i < 85; ++i) euros += "\xE2\x82\xAC";
  const std::string longName = std::string(250, 'a') + ".exe";
  std::vector<std::string> copies;
  for (const std::string& name : {longName, std::string(250, 'a') + ".dll", euros}) {
    const std::string path = core::UnfinishedCopyPath(folder + name);
    ASSERT_EQ(path.compare(0, folder.size(), folder), 0);
    const std::string copy = path.substr(folder.size());
    EXPECT_LE(copy.size(), 255u) << copy;
    ASSERT_TRUE(core::IsUnfinishedCopyName(copy));
    const std::string start = copy.substr(0, copy.find('~'));
    EXPECT_EQ(name.compare(0, start.size(), start), 0);
    // Cut between characters, never inside one.
    EXPECT_NE(static_cast<unsigned char>(name[start.size()]) & 0xC0, 0x80);
    copies.push_back(copy);
  }
  // Names alike in their start still have unfinished copies of their own,
  // and a name's unfinished copy follows from it whatever its case.
  EXPECT_NE(copies[0], copies[1]);
  std::string upper = longName;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(core::FoldAscii(core::UnfinishedCopyPath(folder + upper)), core::FoldAscii(folder + copies[0]));
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
