#include "core/command_line.h"

namespace core {
namespace {

bool IsScanSwitch(std::string_view argument) {
  if (argument.size() != 5 || (argument[0] != '/' && argument[0] != '-')) return false;
  const char* word = "scan";
  for (size_t i = 0; i < 4; ++i) {
    const char c = argument[i + 1];
    if (c != word[i] && c != word[i] - 'a' + 'A') return false;
  }
  return true;
}

bool IsDriveRoot(std::string_view path) { return path.size() == 3 && path[1] == ':' && path[2] == '\\'; }

}  // namespace

std::string ScanRootFromArgument(std::string_view argument) {
  std::string path(argument);
  while (!path.empty() && (path.back() == '"' || path.back() == ' ')) path.pop_back();
  while (!path.empty() && path.front() == ' ') path.erase(0, 1);
  while (path.size() > 1 && (path.back() == '\\' || path.back() == '/') && !IsDriveRoot(path)) path.pop_back();
  // A drive's letter alone names its current folder, not the drive.
  if (path.size() == 2 && path[1] == ':') path += '\\';
  return path;
}

std::optional<std::string> ScanFolderArgument(const std::vector<std::string>& arguments) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (!IsScanSwitch(arguments[i])) continue;
    return i + 1 < arguments.size() ? ScanRootFromArgument(arguments[i + 1]) : std::string();
  }
  return std::nullopt;
}

}  // namespace core
