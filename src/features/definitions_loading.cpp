#include "features/definitions_loading.h"

#include <memory>
#include <new>

#include "core/definitions_syntax.h"
#include "core/update_limits.h"
#include "features/disk_folders.h"
#include "platform/files.h"
#include "platform/text.h"

namespace features {
namespace {

using Outcome = DefinitionsLoad::Outcome;

Outcome ReadDefinitions(const std::string& path, core::SharedDefinitions& loaded) {
  try {
    std::string bytes;
    switch (platform::ReadFileBytes(path, bytes, core::kDefinitionsBytes)) {
      case platform::ReadResult::Ok:
        break;
      case platform::ReadResult::TooLarge:
        return Outcome::Damaged;
      case platform::ReadResult::NotFound:
      case platform::ReadResult::Failed:
        return Outcome::Missing;
    }
    core::DefinitionsList list;
    if (!list.AssignTextUpTo(core::DecodeDefinitionsBytes(std::move(bytes), platform::AnsiToUtf8),
                             core::kDefinitionsRecords)) {
      return Outcome::Damaged;
    }
    // Bytes without a single line, NULs left by a crash say, are as good as
    // an empty file: a scan with nothing to match would call every machine clean.
    if (list.Count() == 0) return Outcome::Missing;
    loaded = std::make_shared<const core::Definitions>(std::move(list), FoldFileName);
    return Outcome::Loaded;
  } catch (const std::bad_alloc&) {
    return Outcome::Damaged;
  }
}

}  // namespace

DefinitionsLoad LoadDefinitions(const std::string& path) {
  DefinitionsLoad load;
  // A file that vanished or cannot be read after the existence test counts
  // as missing too: the program cannot work without its definitions.
  if (platform::CheckFileHasContent(path, load.lookupError) != platform::ContentCheck::HasContent) return load;
  load.outcome = ReadDefinitions(path, load.definitions);
  return load;
}

core::SharedDefinitions NoDefinitions() {
  return std::make_shared<const core::Definitions>(core::DefinitionsList(), FoldFileName);
}

}  // namespace features
