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
  enum class Outcome {
    NotFetched,
    NotVerified,   // the signature was missing, damaged, or not the publisher's
    CannotVerify,  // this Windows cannot check signatures: nothing was fetched
    NotReplaced,
    Replaced,
  };
  Outcome outcome = Outcome::NotFetched;
  std::string error;  // why they could not replace ref.dat
};
// Fetches the server's definitions and their signature, checks the
// signature against the publisher's keys (built in, or the administrator's
// in HKEY_LOCAL_MACHINE), then the definitions with the limits the start-up
// load holds, and only then replaces ref.dat in one step; a failure leaves
// ref.dat untouched and no temporary file behind. Runs while the calling
// thread's windows keep painting.
DefinitionsDownload DownloadNewDefinitions();

// The update server's base address: the compiled-in default, unless the
// settings store names another under section "UPDATES", key "SERVER" (the
// administrator's policy first, then the user's).
std::string UpdateServer();

}  // namespace features
