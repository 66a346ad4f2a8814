#include "core/exclusion_path.h"

#include "core/paths.h"
#include "core/path_set.h"

namespace core {
namespace {

bool StartsWith(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && EqualIgnoringAsciiCase(text.substr(0, start.size()), start);
}

bool IsDriveRoot(std::string_view path) {
  return path.size() >= 3 && LowerAscii(path[0]) >= 'a' && LowerAscii(path[0]) <= 'z' && path[1] == ':' &&
         path[2] == '\\';
}

// "\\?\C:\x" and "\\.\C:\x" name C:\x; "\\?\UNC\server\share" names
// \\server\share. Volume GUIDs and device names have no plain spelling.
bool WithoutDevicePrefix(std::string_view& path, std::string& plain) {
  if (!StartsWith(path, "\\\\?\\") && !StartsWith(path, "\\\\.\\")) return true;
  const std::string_view rest = path.substr(4);
  if (IsDriveRoot(rest)) {
    path = rest;
    return true;
  }
  if (StartsWith(rest, "UNC\\")) {
    plain = "\\\\" + std::string(rest.substr(4));
    path = plain;
    return true;
  }
  return false;
}

std::string Problem(const std::string& path) {
  const bool drive = IsDriveRoot(path);
  const bool network = path.size() > 2 && path[0] == '\\' && path[1] == '\\';
  if (!drive && !network) return "not a full path: it needs a drive letter or a network share";
  // The steps below the root ("C:\" or "\\server\share\").
  size_t start = 3;
  if (network) {
    const size_t server = path.find('\\', 2);
    const size_t share = server == std::string::npos ? server : path.find('\\', server + 1);
    if (server == std::string::npos || share == server + 1) return "a network path needs a server and a share";
    if (share == std::string::npos) return "a whole network share: name a folder or file on it";
    start = share + 1;
  }
  if (start >= path.size()) return "a whole drive: name a folder or file on it";
  for (;;) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string_view step = std::string_view(path).substr(start, end - start);
    if (step == "." || step == "..") return "\".\" and \"..\" are not taken: write the folder's own name";
    if (step.find_first_of("*?\"<>|:") != std::string_view::npos) {
      return "holds a character no file name holds (* ? \" < > | :)";
    }
    if (step.back() == '.' || step.back() == ' ') return "a name ends in a dot or a blank, which Windows drops";
    if (end == path.size()) return "";
    start = end + 1;
  }
}

}  // namespace

ExclusionPath ReadExclusionPath(std::string_view stored) {
  ExclusionPath read;
  std::string unprefixed;
  if (!WithoutDevicePrefix(stored, unprefixed)) {
    read.path = PlainPath(stored);
    read.problem = "a device or volume path (\\\\?\\ or \\\\.\\) that is not a drive letter or network share";
    return read;
  }
  read.path = PlainPath(stored);
  // A folder may be written with its final "\"; the root's own stays.
  if (read.path.size() > 3 && read.path.back() == '\\') read.path.pop_back();
  read.problem = read.path.empty() ? "no path" : Problem(read.path);
  return read;
}

}  // namespace core
