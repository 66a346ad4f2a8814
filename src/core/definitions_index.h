// Finds the reference entries that name a file. Built once per load of the
// definitions, it answers each file in time that does not grow with the
// size of the list, with the same result as comparing every entry in turn:
// the matching entries in list order, never the header record, never a
// record without "|".
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/paths.h"
#include "core/definitions_list.h"

namespace core {

// Case folding used for both entry names and file names.
using FoldCase = std::function<std::string(std::string_view)>;

class DefinitionsIndex {
 public:
  // Reads the entries from `list`, which must outlive the index: the names
  // are not copied, only their hashes and positions are kept.
  DefinitionsIndex(const DefinitionsList& list, FoldCase fold);
  // Positions in the reference list of every entry whose name matches the
  // already folded file name; empty when none does.
  std::vector<size_t> Find(const std::string& foldedName) const;
  const FoldCase& fold() const { return fold_; }

 private:
  // One slot per distinct name: a file of a million copies of one name
  // would otherwise make one cluster that every lookup near it walks.
  struct Slot {
    uint32_t hash = 0;
    uint32_t firstPlusOne = 0;  // the name's first entry; 0 for an empty slot
  };
  size_t Home(uint32_t hash) const { return hash & (slots_.size() - 1); }
  std::string FoldedName(size_t position) const;

  const DefinitionsList& list_;
  FoldCase fold_;
  // Open addressing with linear probing; at most half full.
  std::vector<Slot> slots_;
  // By position: the next entry of the same name, plus one; 0 after the last.
  std::vector<uint32_t> nextOfName_;
};


}  // namespace core
