// The scan's view of the real file system: what a listing yields, and that
// the identities it hands over for subfolders are the ones the folders give
// when opened, which is what keeps a scan from walking a folder twice.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/scan_engine.h"
#include "features/disk_folders.h"
#include "platform/disk_lister.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"
#include "remove_tree.h"

namespace {

class DiskListerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(L"C:\\pwtest", nullptr);
    root_ = "C:\\pwtest\\win32-disk-lister";
    RemoveTree(platform::ExtendedPath(root_));
    ASSERT_TRUE(CreateDirectoryW(platform::ExtendedPath(root_).c_str(), nullptr));
  }
  void TearDown() override { RemoveTree(platform::ExtendedPath(root_)); }

  void Make(const std::string& relative, bool folder, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    const std::wstring path = platform::ExtendedPath(root_ + "\\" + relative);
    if (folder) {
      ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << relative;
    } else {
      HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
      ASSERT_NE(file, INVALID_HANDLE_VALUE) << relative;
      CloseHandle(file);
    }
  }

  std::string root_;
};

TEST_F(DiskListerTest, ListsEveryFileAndSubfolderWithTheIdentitiesTheyHave) {
  Make("Sub", true);
  Make("trailing ", true);
  Make("trailing \\inside.exe", false);
  Make("plain.exe", false);
  Make("hidden.exe", false, FILE_ATTRIBUTE_HIDDEN);
  Make("system.exe", false, FILE_ATTRIBUTE_SYSTEM);

  features::DiskFolderLister lister;
  core::FolderId self;
  ASSERT_TRUE(lister.Identify(root_, self));
  std::vector<std::string> files;
  std::vector<core::Subfolder> subfolders;
  ASSERT_TRUE(lister.List(root_, &self, files, subfolders));
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"hidden.exe", "plain.exe", "system.exe"}));
  std::vector<std::string> names;
  for (const core::Subfolder& subfolder : subfolders) names.push_back(subfolder.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Sub", "trailing "}));

  for (const core::Subfolder& subfolder : subfolders) {
    core::FolderId opened;
    ASSERT_TRUE(lister.Identify(root_ + "\\" + subfolder.name, opened)) << subfolder.name;
    if (!subfolder.identified) continue;
    EXPECT_FALSE(subfolder.id < opened || opened < subfolder.id) << subfolder.name;
    EXPECT_TRUE(subfolder.id < self || self < subfolder.id) << subfolder.name;
  }
  // A name ending in a blank is listed under that very name.
  std::vector<std::string> inner;
  std::vector<core::Subfolder> none;
  ASSERT_TRUE(lister.List(root_ + "\\trailing ", nullptr, inner, none));
  EXPECT_EQ(inner, std::vector<std::string>{"inside.exe"});
}

TEST_F(DiskListerTest, AFolderThatIsMissingOrHeldCannotBeListed) {
  Make("Held", true);
  HANDLE held = CreateFileW(platform::Widen(root_ + "\\Held").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  features::DiskFolderLister lister;
  std::vector<std::string> files;
  std::vector<core::Subfolder> subfolders;
  EXPECT_FALSE(lister.List(root_ + "\\Held", nullptr, files, subfolders));
  EXPECT_FALSE(lister.List(root_ + "\\Missing", nullptr, files, subfolders));
  CloseHandle(held);
  EXPECT_TRUE(lister.List(root_ + "\\Held", nullptr, files, subfolders));
  EXPECT_TRUE(files.empty() && subfolders.empty());
}

// A folder too large for one part of the listing lets the window in between
// parts, and stops when it is told to.
TEST_F(DiskListerTest, LongListingYieldsBetweenPartsAndStopsWhenAsked) {
  Make("Big", true);
  constexpr int kFiles = 1000;
  for (int i = 0; i < kFiles; ++i) Make("Big\\a-rather-long-file-name-to-fill-the-parts-" + std::to_string(i) + ".dat", false);
  for (const bool stop : {false, true}) {
    int yields = 0;
    features::DiskFolderLister lister([&] {
      ++yields;
      return stop;
    });
    std::vector<std::string> files;
    std::vector<core::Subfolder> subfolders;
    EXPECT_EQ(lister.List(root_ + "\\Big", nullptr, files, subfolders), !stop);
    if (stop) {
      EXPECT_EQ(yields, 1);
      EXPECT_LT(files.size(), static_cast<size_t>(kFiles));
    } else {
      EXPECT_GT(yields, 1);
      EXPECT_EQ(files.size(), static_cast<size_t>(kFiles));
    }
  }
}

// Restore To refuses the quarantine however the folder was named: by its
// short name too, and a folder below it; a sibling that shares the start of
// its name is not it.
TEST_F(DiskListerTest, AFolderIsKnownUnderItsShortName) {
  Make("Quarantine folder", true);
  Make("Quarantine folder\\inner", true);
  Make("Quarantine folder two", true);
  const std::string folder = root_ + "\\Quarantine folder";
  wchar_t shortName[MAX_PATH] = {};
  ASSERT_NE(GetShortPathNameW(platform::Widen(folder + "\\inner").c_str(), shortName, MAX_PATH), 0u);
  const std::string alias = platform::Narrow(shortName);
  ASSERT_EQ(alias.find("Quarantine folder"), std::string::npos) << alias;
  const std::pair<std::string, bool> cases[] = {
      {folder, true},  {alias, true},  {alias + "\\", true}, {alias.substr(0, alias.rfind('\\')), true},
      {folder + " two", false}, {root_, false}, {"C:\\", false}, {root_ + "\\Missing", false},
  };
  for (const auto& [path, within] : cases) EXPECT_EQ(features::LiesWithin(path, folder), within) << path;
}

// On 64-bit Windows a 32-bit program that names the system folder gets the
// folder of 32-bit system files; spyware among the machine's own system
// files is in the real one, which the scan lists and acts on by its usual
// name. (scripts/test runs this in a 64-bit prefix as well.)
TEST(SystemFolder, IsTheMachinesOwnForListingAndForActingOnItsFiles) {
  const bool sixtyFour = platform::RunsOn64BitWindows();
  if (std::getenv("PW_EXPECT_64BIT_WINDOWS") != nullptr) {
    ASSERT_TRUE(sixtyFour);
  }
  const std::string system = platform::SystemDirectory();
  const std::string windows = system.substr(0, system.find_last_of('\\'));
  const std::string name = "pwtest-system-" + std::to_string(GetCurrentProcessId()) + ".dll";
  // Where the machine's own programs see the system folder.
  const std::string real = (sixtyFour ? windows + "\\Sysnative" : system) + "\\" + name;
  HANDLE file = CreateFileW(platform::Widen(real).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << real;
  CloseHandle(file);

  std::vector<std::string> files;
  std::vector<platform::ListedFolder> subfolders;
  EXPECT_TRUE(platform::ListFolder(system, nullptr, files, subfolders));
  EXPECT_NE(std::find(files.begin(), files.end(), name), files.end());
  EXPECT_TRUE(platform::DeleteEvenIfReadOnly(system + "\\" + name));
  if (GetFileAttributesW(platform::Widen(real).c_str()) != INVALID_FILE_ATTRIBUTES) {
    ADD_FAILURE() << "the delete went to another folder";
    DeleteFileW(platform::Widen(real).c_str());
  }
}

TEST(ExtendedPathTest, DrivePathsTakeThePrefixWithSingleSeparators) {
  EXPECT_EQ(platform::ExtendedPath("C:\\Temp\\a.exe"), L"\\\\?\\C:\\Temp\\a.exe");
  // A file in a drive root as its detection line writes it.
  EXPECT_EQ(platform::ExtendedPath("d:\\\\x.exe"), L"\\\\?\\d:\\x.exe");
  EXPECT_EQ(platform::ExtendedPath("C:\\"), L"\\\\?\\C:\\");
  EXPECT_EQ(platform::ExtendedPath("relative\\x"), L"relative\\x");
}

TEST(FoldCaseTest, LowersAsciiAndOtherLettersAlike) {
  EXPECT_EQ(features::FoldFileName("FOO.Exe"), "foo.exe");
  EXPECT_EQ(features::FoldFileName("\xC3\x89T\xC3\x89.EXE"), "\xC3\xA9t\xC3\xA9.exe");  // ÉTÉ.EXE
  EXPECT_EQ(features::FoldFileName(""), "");
}

}  // namespace
