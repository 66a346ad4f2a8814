// Every bound the program puts on what the update server sends and on the
// definitions file it loads. A real definitions file is a few hundred
// kilobytes; these leave it room to grow a hundredfold while keeping a hostile
// or broken server from exhausting memory or holding the program forever.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace core {

// The version file is read only up to its first field; what follows the
// first few kilobytes is never fetched.
constexpr uint64_t kVersionFileBytes = 4 * 1024;
// A definitions file beyond either bound is refused by the download and
// treated as damaged by the start-up load.
constexpr uint64_t kDefinitionsBytes = 64ull * 1024 * 1024;
constexpr uint64_t kDefinitionsRecords = 2'000'000;
// A signature file is under a kilobyte; a longer one is refused unread.
constexpr uint64_t kSignatureFileBytes = 4 * 1024;
// Redirects followed per file; only to http or https addresses.
constexpr uint64_t kRedirects = 5;
// The longest wait for a connection to the server.
constexpr uint64_t kConnectTimeoutMs = 30'000;
// A transfer stalls when its answer does not start, or less than
// kStallMinBytes of it arrive, within this time.
constexpr uint64_t kStallTimeoutMs = 30'000;
constexpr uint64_t kStallMinBytes = 1024;
// The whole download of the definitions, redirects included: a server that
// keeps just ahead of the stall rule must not hold the program for days. A
// real file takes seconds even on a slow line.
constexpr uint64_t kDefinitionsFetchMs = 30 * 60 * 1000;

struct UpdateLimits {
  uint64_t versionFileBytes = kVersionFileBytes;
  uint64_t definitionsBytes = kDefinitionsBytes;
  uint64_t definitionsRecords = kDefinitionsRecords;
  uint64_t redirects = kRedirects;
  uint64_t connectTimeoutMs = kConnectTimeoutMs;
  uint64_t stallTimeoutMs = kStallTimeoutMs;
  uint64_t definitionsFetchMs = kDefinitionsFetchMs;

  // The whole fetch of the version file, redirects included, which is also
  // the most the automatic check can delay the start.
  uint64_t VersionFetchMs() const { return connectTimeoutMs + stallTimeoutMs; }
};

// The limits in force. Each may be lowered, never raised, by a stored value
// of the same name in whole numbers (bytes, records, milliseconds), so that
// tests can meet them quickly: `storedValue(key)` returns that text or the
// empty text. Anything that is not a whole number from 1 up to the built-in
// limit is ignored.
UpdateLimits LimitsWithOverrides(const std::function<std::string(const char* key)>& storedValue);

}  // namespace core
