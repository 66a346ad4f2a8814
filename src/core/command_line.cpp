#include "core/command_line.h"

#include "core/paths.h"

namespace core {
namespace {

// "/<word>" or "-<word>", the word in any case.
bool IsSwitch(std::string_view argument, std::string_view word) {
  return argument.size() == word.size() + 1 && (argument[0] == '/' || argument[0] == '-') &&
         EqualIgnoringAsciiCase(argument.substr(1), word);
}

bool IsScanSwitch(std::string_view argument) { return IsSwitch(argument, "scan"); }

constexpr char kCheckUsage[] = "Use: Parawarden.exe /check <folder or drive> [<folder> ...] [/report <file>]";

bool IsDriveRoot(std::string_view path) { return path.size() == 3 && path[1] == ':' && path[2] == '\\'; }

}  // namespace

std::string ScanRootFromArgument(std::string_view argument) {
  std::string path(argument);
  while (!path.empty() && (path.back() == '"' || path.back() == ' ')) path.pop_back();
  while (!path.empty() && path.front() == ' ') path.erase(0, 1);
  return WithoutTrailingSeparators(path);
}

std::optional<std::string> ScanFolderArgument(const std::vector<std::string>& arguments) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (!IsScanSwitch(arguments[i])) continue;
    return i + 1 < arguments.size() ? ScanRootFromArgument(arguments[i + 1]) : std::string();
  }
  return std::nullopt;
}

std::optional<CheckCommand> CheckArguments(const std::vector<std::string>& arguments) {
  size_t check = 0;
  while (check < arguments.size() && !IsSwitch(arguments[check], "check")) ++check;
  if (check == arguments.size()) return std::nullopt;
  CheckCommand command;
  bool reportNamed = false;
  for (size_t i = 0; i < arguments.size() && command.error.empty(); ++i) {
    const std::string& argument = arguments[i];
    if (i == check) continue;
    if (IsSwitch(argument, "report")) {
      if (reportNamed) {
        command.error = "Name only one report file.";
      } else if (i + 1 == arguments.size() || arguments[i + 1].empty() || arguments[i + 1][0] == '/') {
        command.error = "Name the report file after /report.";
      } else {
        reportNamed = true;
        command.reportFile = arguments[++i];
      }
    } else if (!argument.empty() && argument[0] == '/') {
      command.error = "\"" + argument + "\" is not a switch of /check.";
    } else if (ScanRootFromArgument(argument).empty()) {
      command.error = "An empty folder name was given.";
    } else {
      command.folders.push_back(ScanRootFromArgument(argument));
    }
  }
  if (command.error.empty() && command.folders.empty()) command.error = "Name the folders or drives to check.";
  if (!command.error.empty()) command.error += std::string("\r\n") + kCheckUsage;
  return command;
}

}  // namespace core
