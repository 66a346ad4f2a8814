#include "core/command_line.h"

#include "core/paths.h"

namespace core {
namespace {

bool IsScanSwitch(std::string_view argument) {
  return argument.size() == 5 && (argument[0] == '/' || argument[0] == '-') &&
         EqualIgnoringAsciiCase(argument.substr(1), "scan");
}

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

}  // namespace core
