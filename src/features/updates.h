// The definitions update: comparing the local definitions version with the
// update server's, and replacing the definitions with the server's.
#pragma once

#include <string>

namespace features {

enum class VersionCheck {
  NotFetched,  // the server's version file could not be fetched
  Newer,       // the server has newer definitions
  UpToDate,
  Unknown,     // a version on either side could not be read
};
VersionCheck CheckServerVersion();

struct DefinitionsDownload {
  enum class Outcome { NotFetched, NotReplaced, Replaced };
  Outcome outcome = Outcome::NotFetched;
  std::string error;  // why they could not replace ref.dat
};
// Fetches the server's definitions, checks them with the limits the
// start-up load holds, and only then replaces ref.dat in one step; a
// failure leaves ref.dat untouched and no temporary file behind. Runs while
// the calling thread's windows keep painting.
DefinitionsDownload DownloadNewDefinitions();

// The update server's base address: the compiled-in default, unless the
// settings store names another under section "UPDATES", key "SERVER" (the
// administrator's policy first, then the user's).
std::string UpdateServer();

}  // namespace features
