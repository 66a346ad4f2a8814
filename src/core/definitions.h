// One load of the definitions: the records and their name index, built once
// and never changed afterwards. Every scan and the process pass share the
// current load; a reload puts a new one in place while anything still using
// the old one keeps it alive until it is done.
#pragma once

#include <memory>
#include <utility>

#include "core/definitions_index.h"
#include "core/definitions_list.h"

namespace core {

struct Definitions {
  Definitions(DefinitionsList records, FoldCase fold) : list(std::move(records)), index(list, std::move(fold)) {}
  // The index reads the names from this object's own list.
  Definitions(const Definitions&) = delete;
  Definitions& operator=(const Definitions&) = delete;

  const DefinitionsList list;
  const DefinitionsIndex index;
};

using SharedDefinitions = std::shared_ptr<const Definitions>;

}  // namespace core
