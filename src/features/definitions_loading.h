// Loading the definitions file (ref.dat) at start-up.
#pragma once

#include <string>

#include "core/definitions.h"

namespace features {

struct DefinitionsLoad {
  enum class Outcome { Loaded, Missing, Damaged };
  Outcome outcome = Outcome::Missing;
  // The records and their index, when Loaded.
  core::SharedDefinitions definitions;
  // The system's description when the file could not even be looked at
  // (a folder in its path that does not exist, say); it then counts as
  // missing too.
  std::string lookupError;
};

// Reads the file within the limits a downloaded file is held to, so that
// no file, however large or broken, can exhaust memory; its text is held
// once, as the list's own storage. A missing, empty or unreadable file is
// Missing; one beyond the limits Damaged.
DefinitionsLoad LoadDefinitions(const std::string& path);

// Definitions without records, for the time before the first load.
core::SharedDefinitions NoDefinitions();

}  // namespace features
