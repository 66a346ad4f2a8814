// The /scan switch and the folder that follows it; /check, its folders and
// its report file.
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

TEST(CommandLine, CheckArguments) {
  const std::string usage = "\r\nUse: Parawarden.exe /check <folder or drive> [<folder> ...] [/report <file>]";
  const struct {
    std::vector<std::string> arguments;
    std::optional<std::vector<std::string>> folders;  // nothing: not a check
    std::string reportFile;
    std::string error;  // without the usage line
  } rows[] = {
      {{}, std::nullopt, "", ""},
      {{"/scan", "C:\\"}, std::nullopt, "", ""},
      {{"/check", "C:\"", "d:", "E:\\Temp\\"}, std::vector<std::string>{"C:\\", "d:\\", "E:\\Temp"}, "", ""},
      {{"-CHECK", "E:\\x", "-Report", "E:\\r.log", "F:\\"}, std::vector<std::string>{"E:\\x", "F:\\"}, "E:\\r.log", ""},
      // A relative name stays relative: the program makes it full from its own folder.
      {{"/report", "r.log", "/check", "."}, std::vector<std::string>{"."}, "r.log", ""},
      {{"/check"}, std::vector<std::string>{}, "", "Name the folders or drives to check."},
      {{"/check", "E:\\x", "/report"}, std::vector<std::string>{"E:\\x"}, "", "Name the report file after /report."},
      {{"/check", "E:\\x", "/report", "a.log", "/report", "b.log"}, std::vector<std::string>{"E:\\x"}, "a.log",
       "Name only one report file."},
      {{"/check", "E:\\x", "/silent"}, std::vector<std::string>{"E:\\x"}, "", "\"/silent\" is not a switch of /check."},
      {{"/check", "  "}, std::vector<std::string>{}, "", "An empty folder name was given."},
  };
  for (const auto& row : rows) {
    const std::optional<core::CheckCommand> command = core::CheckArguments(row.arguments);
    const std::string shown = row.arguments.empty() ? "(none)" : row.arguments.back();
    ASSERT_EQ(command.has_value(), row.folders.has_value()) << shown;
    if (!command) continue;
    EXPECT_EQ(command->folders, *row.folders) << shown;
    EXPECT_EQ(command->reportFile, row.reportFile) << shown;
    EXPECT_EQ(command->error, row.error.empty() ? "" : row.error + usage) << shown;
  }
}

}  // namespace
