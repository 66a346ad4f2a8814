#include "core/definitions_index.h"

#include <utility>

#include "core/definitions_syntax.h"

namespace core {
namespace {

uint32_t HashOf(std::string_view folded) { return static_cast<uint32_t>(std::hash<std::string_view>()(folded)); }

}  // namespace

DefinitionsIndex::DefinitionsIndex(const DefinitionsList& list, FoldCase fold) : list_(list), fold_(std::move(fold)) {
  const size_t entries = list.Count() > 0 ? list.Count() - 1 : 0;
  size_t size = 16;
  while (size < entries * 2) size *= 2;
  slots_.resize(size);
  nextOfName_.assign(list.Count(), 0);
  // Hashed first, in file order, and put in the table after: the two mixed
  // take twice as long on a large list.
  std::vector<std::pair<uint32_t, uint32_t>> named;  // hash, position
  for (size_t position = 1; position < list.Count(); ++position) {
    Entry entry;
    // An empty name can never equal a file's name.
    if (!SplitEntry(list.Record(position), entry) || entry.name.empty()) continue;
    named.emplace_back(HashOf(fold_(entry.name)), static_cast<uint32_t>(position));
  }
  // From the last entry to the first, each put before the others of its
  // name, so that every name's entries follow one another in list order.
  for (auto it = named.rbegin(); it != named.rend(); ++it) {
    const auto [hash, position] = *it;
    size_t slot = Home(hash);
    while (slots_[slot].firstPlusOne != 0 &&
           (slots_[slot].hash != hash || FoldedName(slots_[slot].firstPlusOne - 1) != FoldedName(position))) {
      slot = (slot + 1) & (slots_.size() - 1);
    }
    nextOfName_[position] = slots_[slot].firstPlusOne;
    slots_[slot] = {hash, position + 1};
  }
}

std::string DefinitionsIndex::FoldedName(size_t position) const {
  Entry entry;
  SplitEntry(list_.Record(position), entry);
  return fold_(entry.name);
}

std::vector<size_t> DefinitionsIndex::Find(const std::string& foldedName) const {
  std::vector<size_t> positions;
  const uint32_t hash = HashOf(foldedName);
  for (size_t slot = Home(hash); slots_[slot].firstPlusOne != 0; slot = (slot + 1) & (slots_.size() - 1)) {
    if (slots_[slot].hash != hash || FoldedName(slots_[slot].firstPlusOne - 1) != foldedName) continue;
    for (uint32_t next = slots_[slot].firstPlusOne; next != 0; next = nextOfName_[next - 1]) {
      positions.push_back(next - 1);
    }
    break;
  }
  return positions;
}

}  // namespace core
