// A set of full file paths compared the way the file system compares them:
// without regard to case. The paths are in the program's one spelling
// (core/paths.h); text from elsewhere reads through PlainPath first.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "core/definitions_index.h"

namespace core {

class PathSet {
 public:
  explicit PathSet(FoldCase fold) : fold_(std::move(fold)) {}

  void Add(std::string_view path) { keys_.insert(Key(path)); }
  bool Contains(std::string_view path) const { return !keys_.empty() && keys_.count(Key(path)) != 0; }
  bool empty() const { return keys_.empty(); }

 private:
  std::string Key(std::string_view path) const { return fold_(path); }

  FoldCase fold_;
  std::unordered_set<std::string> keys_;
};

}  // namespace core
