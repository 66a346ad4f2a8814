#include "core/path_set.h"

#include "core/ascii_case.h"

namespace core {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string PlainPath(std::string_view path) {
  std::string plain;
  plain.reserve(path.size());
  size_t i = 0;
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    plain = "\\\\";
    i = 2;
  }
  for (; i < path.size(); ++i) {
    if (!IsSeparator(path[i])) {
      plain += path[i];
    } else if (plain.empty() || plain.back() != '\\') {
      plain += '\\';
    }
  }
  return plain;
}

bool PathSet::Covers(std::string_view path) const {
  if (keys_.empty()) return false;
  std::string key = Key(path);
  for (;;) {
    if (keys_.count(key) != 0) return true;
    const size_t slash = key.rfind('\\');
    // Never down to the bare "C:" or "\\server": the set holds no drive root.
    if (slash == std::string::npos || slash < 3) return false;
    key.resize(slash);
  }
}

bool IsFullPathOfNames(std::string_view path) {
  size_t rootEnd = 0;
  const bool drive = path.size() >= 3 && LowerAscii(path[0]) >= 'a' && LowerAscii(path[0]) <= 'z' &&
                     path[1] == ':' && path[2] == '\\';
  if (drive) {
    rootEnd = 3;
  } else if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
    // "\\server\share\": a server name, not "?" or "." of the device paths.
    const size_t server = path.find('\\', 2);
    if (server == std::string_view::npos || server == 2 || path.substr(2, server - 2) == "?" ||
        path.substr(2, server - 2) == ".") {
      return false;
    }
    const size_t share = path.find('\\', server + 1);
    if (share == std::string_view::npos || share == server + 1) return false;
    rootEnd = share + 1;
  } else {
    return false;
  }
  // Every step below the root is a real name.
  size_t start = rootEnd;
  for (;;) {
    size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::string_view step = path.substr(start, end - start);
    if (step.empty() || step == "." || step == ".." || step.find(':') != std::string_view::npos) return false;
    if (end == path.size()) break;
    start = end + 1;
  }
  return true;
}

}  // namespace core
