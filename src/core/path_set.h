// A set of full file paths compared the way the file system compares them:
// without regard to case, and with a doubled "\" (as a detection at a drive
// root shows it, "C:\\x.exe") the same as a single one. A path in the set may
// name a folder, which covers every file below it.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "core/definitions_index.h"

namespace core {

// The path with every run of "\" or "/" made one "\"; the two at the start of
// a network path ("\\server\share") stay.
std::string PlainPath(std::string_view path);
// A full path (a drive letter, or "\\server\share") followed by at least one
// real name: no empty, "." or ".." steps and no ":" in them.
bool IsFullPathOfNames(std::string_view path);

class PathSet {
 public:
  explicit PathSet(FoldCase fold) : fold_(std::move(fold)) {}

  void Add(std::string_view path) { keys_.insert(Key(path)); }
  bool Contains(std::string_view path) const { return !keys_.empty() && keys_.count(Key(path)) != 0; }
  // The path is in the set, or a folder above it is.
  bool Covers(std::string_view path) const;
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
