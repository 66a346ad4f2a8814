// Fetching a file from the update server.
#pragma once

#include <cstdint>
#include <string>

#include "platform/transfer_watch.h"

namespace platform {

struct TransferLimits {
  // The most of the body that is received and kept.
  uint64_t maxBytes = 0;
  // What a longer body means: when true, its start is kept and counts as
  // the whole (for a file that is read only at its start); when false, the
  // download fails.
  bool keepStartOfLongerBody = false;
  // When true, a body whose end only the closing of the connection marks
  // (no announced length, not sent in chunks) is refused: cut short, it
  // would look whole.
  bool needsMarkedEnd = false;
  // Redirects followed, each only to an http or https address.
  unsigned maxRedirects = 0;
  WatchLimits watch;
};

// Downloads the resource at `url` (http or https) into `path`, always from
// the server rather than a cache. The transfer runs on a thread of its own
// while the calling thread waits with its windows painted and their input
// thrown away (see WaitKeepingWindowsPainted). True only for a successful
// answer received whole within `limits`; the file is written only then,
// though a failure while writing it may leave part of it. A stalled or
// overlong transfer, a body shorter than announced, and running out of
// memory are all failures.
bool DownloadUrlToFile(const std::string& url, const std::string& path, const TransferLimits& limits);
// The same, keeping the body in memory: for a small file read at once.
bool DownloadUrl(const std::string& url, const TransferLimits& limits, std::string& body);

}  // namespace platform
