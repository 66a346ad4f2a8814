#include "core/definitions_index.h"

#include <algorithm>

#include "core/definitions_syntax.h"

namespace core {
namespace {

uint32_t HashOf(std::string_view folded) { return static_cast<uint32_t>(std::hash<std::string_view>()(folded)); }

}  // namespace

DefinitionsIndex::DefinitionsIndex(const DefinitionsList& list, FoldCase fold) : list_(list), fold_(std::move(fold)) {
  std::vector<std::pair<uint32_t, uint32_t>> named;  // hash, position
  for (size_t position = 1; position < list.Count(); ++position) {
    Entry entry;
    // An empty name can never equal a file's name.
    if (!SplitEntry(list.Record(position), entry) || entry.name.empty()) continue;
    named.emplace_back(HashOf(fold_(entry.name)), static_cast<uint32_t>(position));
  }
  size_t size = 16;
  while (size < named.size() * 2) size *= 2;
  slots_.resize(size);
  // Entries of the same name are met along the probe sequence in the order
  // they went in, which is list order.
  for (const auto& [hash, position] : named) {
    size_t slot = Home(hash);
    while (slots_[slot].positionPlusOne != 0) slot = (slot + 1) & (slots_.size() - 1);
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
  for (size_t slot = Home(hash); slots_[slot].positionPlusOne != 0; slot = (slot + 1) & (slots_.size() - 1)) {
    if (slots_[slot].hash != hash) continue;
    const size_t position = slots_[slot].positionPlusOne - 1;
    if (FoldedName(position) == foldedName) positions.push_back(position);
  }
  std::sort(positions.begin(), positions.end());
  return positions;
}

}  // namespace core
