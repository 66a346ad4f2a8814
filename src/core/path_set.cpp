#include "core/path_set.h"

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

}  // namespace core
