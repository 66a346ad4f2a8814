#include "core/path_set.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PathSet, ComparesPathsAsTheFileSystemDoes) {
  core::PathSet set(core::FoldAscii);
  EXPECT_FALSE(set.Contains("C:\\Temp\\ad.exe"));
  set.Add("C:\\Temp\\Ad.EXE");
  set.Add("\\\\server\\share\\x.dll");
  set.Add("D:\\\\root.exe");
  struct Row {
    const char* path;
    bool contained;
  };
  const Row rows[] = {
      {"c:\\temp\\ad.exe", true},
      {"C:\\Temp\\\\ad.exe", true},
      {"C:/Temp/ad.exe", true},
      {"D:\\root.exe", true},
      {"\\\\SERVER\\share\\x.dll", true},
      {"\\server\\share\\x.dll", false},  // no longer a network path
      {"C:\\Temp\\ad.exe.bak", false},
      {"C:\\Temp\\ad", false},
      {"C:\\Other\\ad.exe", false},
      {"ad.exe", false},
  };
  for (const Row& row : rows) EXPECT_EQ(set.Contains(row.path), row.contained) << row.path;
  EXPECT_EQ(core::PlainPath("D:\\\\root.exe"), "D:\\root.exe");
}

}  // namespace
