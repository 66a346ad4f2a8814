#include "reference/reference_index.h"

#include "reference/reference_syntax.h"

namespace reference {

ReferenceIndex::ReferenceIndex(const ReferenceList& list, FoldCase fold) : fold_(std::move(fold)) {
  for (size_t position = 1; position < list.Count(); ++position) {
    Entry entry;
    // An empty name can never equal a file's name.
    if (!SplitEntry(list.Record(position), entry) || entry.name.empty()) continue;
    positionsByName_[fold_(entry.name)].push_back(position);
  }
}

const std::vector<size_t>& ReferenceIndex::Find(const std::string& foldedName) const {
  static const std::vector<size_t> kNone;
  const auto found = positionsByName_.find(foldedName);
  return found == positionsByName_.end() ? kNone : found->second;
}

std::string FoldAscii(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

}  // namespace reference
