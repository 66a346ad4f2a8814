#include "core/paths.h"

#include "core/exclusion_path.h"

#include <gtest/gtest.h>

#include <string>

#include "core/path_set.h"

namespace {

TEST(Paths, OneSpellingForEveryPath) {
  struct Row {
    const char* path;
    const char* plain;
    const char* trimmed;
    bool full;
    bool fullOfNames;
  };
  const Row rows[] = {
      {"C:\\Temp\\ad.exe", "C:\\Temp\\ad.exe", "C:\\Temp\\ad.exe", true, true},
      {"D:\\\\root.exe", "D:\\root.exe", "D:\\\\root.exe", true, false},  // as earlier releases stored it
      {"C:/Temp//ad.exe/", "C:\\Temp\\ad.exe\\", "C:/Temp//ad.exe", true, false},
      {"c:\\", "c:\\", "c:\\", true, false},
      {"f:/", "f:\\", "f:\\", true, false},
      {"C:\\\\", "C:\\", "C:\\", true, false},
      {"C:", "C:", "C:\\", false, false},
      {"C:x.exe", "C:x.exe", "C:x.exe", false, false},
      {"\\\\server\\share\\x.dll", "\\\\server\\share\\x.dll", "\\\\server\\share\\x.dll", true, true},
      {"\\\\server\\share\\", "\\\\server\\share\\", "\\\\server\\share", true, false},
      {"\\\\?\\C:\\x.dll", "\\\\?\\C:\\x.dll", "\\\\?\\C:\\x.dll", true, false},
      {"\\\\.\\pipe\\x", "\\\\.\\pipe\\x", "\\\\.\\pipe\\x", true, false},
      {"\\Temp\\ad.exe", "\\Temp\\ad.exe", "\\Temp\\ad.exe", false, false},
      {"C:\\Temp\\..\\ad.exe", "C:\\Temp\\..\\ad.exe", "C:\\Temp\\..\\ad.exe", true, false},
      {"C:\\Temp\\.\\ad.exe", "C:\\Temp\\.\\ad.exe", "C:\\Temp\\.\\ad.exe", true, false},
      {"C:\\a:b", "C:\\a:b", "C:\\a:b", true, false},
      {".", ".", ".", false, false},
      {"\\", "\\", "\\", false, false},
      {"", "", "", false, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(core::PlainPath(row.path), row.plain) << row.path;
    EXPECT_EQ(core::WithoutTrailingSeparators(row.path), row.trimmed) << row.path;
    EXPECT_EQ(core::IsFullPath(row.path), row.full) << row.path;
    EXPECT_EQ(core::IsFullPathOfNames(row.path), row.fullOfNames) << row.path;
  }
  EXPECT_EQ(core::JoinPath("D:\\", "rootdrop.dll"), "D:\\rootdrop.dll");
  EXPECT_EQ(core::JoinPath("D:\\Temp", "x.dll"), "D:\\Temp\\x.dll");
  EXPECT_EQ(core::JoinPath("\\\\server\\share", "x.dll"), "\\\\server\\share\\x.dll");
  EXPECT_TRUE(core::EqualIgnoringAsciiCase("SCAN", "scan"));
  EXPECT_FALSE(core::EqualIgnoringAsciiCase("scan", "scans"));
  EXPECT_EQ(core::FoldAscii("C:\\Ad.EXE\xC3\x89"), "c:\\ad.exe\xC3\x89");  // other letters keep their case
}

TEST(PathSet, ComparesPathsWithoutRegardToCase) {
  core::PathSet set(core::FoldAscii);
  EXPECT_FALSE(set.Contains("C:\\Temp\\ad.exe"));
  set.Add("C:\\Temp\\Ad.EXE");
  set.Add("\\\\server\\share\\x.dll");
  struct Row {
    const char* path;
    bool contained;
  };
  const Row rows[] = {
      {"c:\\temp\\ad.exe", true},
      {"\\\\SERVER\\share\\x.dll", true},
      {"\\server\\share\\x.dll", false},  // no longer a network path
      {"C:\\Temp\\ad.exe.bak", false},
      {"C:\\Temp\\ad", false},
      {"C:\\Other\\ad.exe", false},
      {"ad.exe", false},
  };
  for (const Row& row : rows) EXPECT_EQ(set.Contains(row.path), row.contained) << row.path;
}

TEST(PathSet, AFolderCoversEveryFileBelowIt) {
  core::PathSet set(core::FoldAscii);
  set.Add("C:\\Tools\\");
  set.Add("\\\\server\\share\\Kept");
  set.Add("D:\\a.exe");
  struct Row {
    const char* path;
    bool covered;
  };
  const Row rows[] = {
      {"C:\\Tools", true},
      {"c:\\tools\\Deep\\Deeper\\ad.exe", true},
      {"\\\\SERVER\\share\\kept\\sub\\x.dll", true},
      {"C:\\Tools2\\ad.exe", false},
      {"C:\\Tool", false},
      {"\\\\server\\share\\x.dll", false},
  };
  for (const Row& row : rows) EXPECT_EQ(set.Covers(row.path), row.covered) << row.path;
  EXPECT_FALSE(set.Contains("C:\\Tools\\x.exe")) << "Contains takes the path alone";
}

TEST(ExclusionPath, OnlyFullPathsOfRealNamesAreInEffect) {
  struct Row {
    const char* stored;
    const char* path;
    bool inEffect;
  };
  const Row rows[] = {
      {"C:\\Tools\\ad.exe", "C:\\Tools\\ad.exe", true},
      {"C:\\Tools\\", "C:\\Tools", true},
      {"\\\\server\\share\\x.exe", "\\\\server\\share\\x.exe", true},
      {"\\\\?\\C:\\Tools\\ad.exe", "C:\\Tools\\ad.exe", true},
      {"\\\\?\\UNC\\server\\share\\x.exe", "\\\\server\\share\\x.exe", true},
      {"C:\\Dir.name\\a b.exe", "C:\\Dir.name\\a b.exe", true},
      {"", "", false},
      {"ad.exe", "ad.exe", false},
      {"\\Tools\\ad.exe", "\\Tools\\ad.exe", false},
      {"C:ad.exe", "C:ad.exe", false},
      {"C:\\", "C:\\", false},
      {"\\\\server\\share", "\\\\server\\share", false},
      {"\\\\?\\Volume{0b1c}\\ad.exe", "\\\\?\\Volume{0b1c}\\ad.exe", false},
      {"C:\\Tools\\ad.exe.", "C:\\Tools\\ad.exe.", false},
      {"C:\\Tools \\ad.exe", "C:\\Tools \\ad.exe", false},
      {"C:\\Tools\\..\\ad.exe", "C:\\Tools\\..\\ad.exe", false},
      {"C:\\Tools\\*.exe", "C:\\Tools\\*.exe", false},
  };
  for (const Row& row : rows) {
    const core::ExclusionPath read = core::ReadExclusionPath(row.stored);
    EXPECT_EQ(read.path, row.path) << row.stored;
    EXPECT_EQ(read.problem.empty(), row.inEffect) << row.stored << ": " << read.problem;
  }
}

}  // namespace
