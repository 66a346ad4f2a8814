// The /scan switch and the folder that follows it.
#include <gtest/gtest.h>

#include "core/command_line.h"

namespace {

TEST(CommandLine, ScanFolderArgument) {
  const struct {
    std::vector<std::string> arguments;
    std::optional<std::string> folder;
  } rows[] = {
      {{}, std::nullopt},
      {{"/scanner", "C:\\"}, std::nullopt},
      {{"/scan", "C:\\Temp"}, "C:\\Temp"},
      {{"other", "-SCAN", "C:\\Temp\\\\"}, "C:\\Temp"},
      {{"/Scan"}, ""},
      // The shell's "%1" for a drive arrives as C:" after the quoting rules.
      {{"/scan", "C:\""}, "C:\\"},
      {{"/scan", "d:"}, "d:\\"},
      {{"/scan", "E:\\"}, "E:\\"},
      {{"/scan", "f:/"}, "f:\\"},
      {{"/scan", "\\\\server\\share\\"}, "\\\\server\\share"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(core::ScanFolderArgument(row.arguments), row.folder)
        << (row.arguments.empty() ? "(none)" : row.arguments.back());
  }
}

}  // namespace
