#include "core/paths.h"

namespace core {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveRoot(std::string_view path) {
  return path.size() >= 3 && LowerAscii(path[0]) >= 'a' && LowerAscii(path[0]) <= 'z' && path[1] == ':' &&
         IsSeparator(path[2]);
}

}  // namespace

std::string FoldAscii(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = LowerAscii(c);
  return folded;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

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

std::string WithoutTrailingSeparators(std::string_view path) {
  while (path.size() > 1 && IsSeparator(path.back()) && !(path.size() == 3 && IsDriveRoot(path) && path[2] == '\\')) {
    path.remove_suffix(1);
  }
  std::string trimmed(path);
  if (trimmed.size() == 2 && trimmed[1] == ':') trimmed += '\\';
  return trimmed;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path += folder;
  if (path.empty() || !IsSeparator(path.back())) path += '\\';
  path += name;
  return path;
}

bool IsFullPath(std::string_view path) {
  return IsDriveRoot(path) || (path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]));
}

bool IsFullPathOfNames(std::string_view path) {
  size_t rootEnd = 0;
  if (IsDriveRoot(path) && path[2] == '\\') {
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
