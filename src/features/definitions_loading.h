// Loading the definitions file (ref.dat) at start-up.
#pragma once

#include <string>
#include <utility>

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

// The definitions the program works with: none until start-up loads them,
// then each load's. A scan keeps the load it started with while start-up
// runs again and replaces it.
class CurrentDefinitions {
 public:
  CurrentDefinitions() : definitions_(NoDefinitions()) {}

  const core::SharedDefinitions& shared() const { return definitions_; }
  const core::DefinitionsList& list() const { return definitions_->list; }
  // False until a load succeeded: a scan before then would find nothing and
  // call the machine clean.
  bool loaded() const { return loaded_; }

  // Lets the current load go, so that a large file is never held twice
  // (unless a running scan still works with it). Until the next load no scan
  // may start: it would find nothing.
  void Forget() {
    definitions_ = NoDefinitions();
    loaded_ = false;
  }
  void Use(core::SharedDefinitions definitions) {
    definitions_ = std::move(definitions);
    loaded_ = true;
  }

 private:
  core::SharedDefinitions definitions_;
  bool loaded_ = false;
};

}  // namespace features
