// A set of full file paths compared the way the file system compares them:
// without regard to case. The paths are in the program's one spelling
// (core/paths.h); text from elsewhere reads through PlainPath first.
// A path in the set may name a folder, which covers every file below it.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "core/definitions_index.h"
#include "core/paths.h"

namespace core {

class PathSet {
 public:
  explicit PathSet(FoldCase fold) : fold_(std::move(fold)) {}

  void Add(std::string_view path) { keys_.insert(Key(path)); }
  bool Contains(std::string_view path) const { return !keys_.empty() && keys_.count(Key(path)) != 0; }
  // The path is in the set, or a folder above it is.
  bool Covers(std::string_view path) const {
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
  bool empty() const { return keys_.empty(); }

 private:
  // A folder written with its final "\" is the same folder.
  std::string Key(std::string_view path) const {
    std::string plain = PlainPath(path);
    if (plain.size() > 3 && plain.back() == '\\') plain.pop_back();
    return fold_(plain);
  }

  FoldCase fold_;
  std::unordered_set<std::string> keys_;
};

}  // namespace core
