// Finds the reference entries that name a file. Built once per scan from the
// reference list, it answers each file in time that does not grow with the
// size of the list, with the same result as comparing every entry in turn:
// the matching entries in list order, never the header record, never a
// record without "|".
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "reference/reference_list.h"

namespace reference {

// Case folding used for both entry names and file names.
using FoldCase = std::function<std::string(std::string_view)>;

class ReferenceIndex {
 public:
  ReferenceIndex(const ReferenceList& list, FoldCase fold);
  // Positions in the reference list of every entry whose name matches the
  // already folded file name; empty when none does.
  const std::vector<size_t>& Find(const std::string& foldedName) const;
  const FoldCase& fold() const { return fold_; }

 private:
  FoldCase fold_;
  std::unordered_map<std::string, std::vector<size_t>> positionsByName_;
};

// Lower-cases ASCII letters only; the Windows build folds with the system's
// own rules.
std::string FoldAscii(std::string_view text);

}  // namespace reference
