#include "features/updates.h"

#include <new>
#include <utility>

#include "core/definitions_list.h"
#include "core/update_limits.h"
#include "core/version_text.h"
#include "features/settings.h"
#include "platform/atomic_file.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/url_download.h"

namespace features {
namespace {

constexpr const char* kDefaultServer = "http://updates.parawarden.example";
constexpr const char* kProductFolder = "/products/qvr/";

// The first eight characters of a definitions file's bytes. A byte-order
// mark is no part of the header, as the loader also holds.
std::string DefinitionsStart(std::string_view bytes) {
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.remove_prefix(3);
  return std::string(bytes.substr(0, 8));
}

// The version text of the local definitions, empty when they cannot be read.
std::string LocalVersion() {
  std::string bytes;
  if (platform::ReadFileStart(platform::AppPath("ref.dat"), 3 + 8, bytes) != platform::ReadResult::Ok) {
    return std::string();
  }
  return core::LocalVersionText(DefinitionsStart(bytes));
}

// The downloaded version must read as the next check will read it, or every
// check after would fail; and a stale server must not take newer
// definitions back.
bool FitsAsNextVersion(std::string_view downloaded) {
  const std::string version = core::LocalVersionText(DefinitionsStart(downloaded));
  double number = 0;
  return core::ParseVersion(version, number) && core::Compare(version, LocalVersion()) != core::Comparison::Newer;
}

core::UpdateLimits LimitsInForce() {
  return core::LimitsWithOverrides([](const char* key) { return UpdatesValue(key); });
}

platform::WatchLimits Watch(const core::UpdateLimits& limits, uint64_t wholeTransferMs) {
  platform::WatchLimits watch;
  watch.connectTimeoutMs = static_cast<uint32_t>(limits.connectTimeoutMs);
  watch.stallTimeoutMs = static_cast<uint32_t>(limits.stallTimeoutMs);
  watch.stallMinBytes = core::kStallMinBytes;
  watch.wholeTransferMs = static_cast<uint32_t>(wholeTransferMs);
  return watch;
}

// The version file's start, read to its first field at most; false when it
// could not be fetched. The whole fetch is bounded in time, so that the
// automatic check at start cannot hold the program for long.
bool FetchVersionFile(const core::UpdateLimits& limits, std::string& versionFile) {
  const std::string updFile = platform::AppPath("upd.txt");
  platform::TransferLimits transfer;
  transfer.maxBytes = limits.versionFileBytes;
  transfer.keepStartOfLongerBody = true;
  transfer.maxRedirects = static_cast<unsigned>(limits.redirects);
  transfer.watch = Watch(limits, limits.VersionFetchMs());
  bool fetched = false;
  try {
    fetched = platform::DownloadUrlToFile(UpdateServer() + kProductFolder + "version.txt", updFile, transfer) &&
              platform::ReadFileBytes(updFile, versionFile, limits.versionFileBytes) == platform::ReadResult::Ok;
  } catch (const std::bad_alloc&) {
    fetched = false;
  }
  // A failed transfer may leave part of the file behind.
  platform::DeleteEvenIfReadOnly(updFile);
  return fetched;
}

// Fetches the server's definitions into `tmpFile` and checks them with the
// same limits the start-up load holds; false when they are not fit to
// replace ref.dat.
bool FetchDefinitions(const core::UpdateLimits& limits, const std::string& tmpFile) {
  platform::TransferLimits transfer;
  transfer.maxBytes = limits.definitionsBytes;
  // A definitions file cut after whole entries still reads as one.
  transfer.needsMarkedEnd = true;
  transfer.maxRedirects = static_cast<unsigned>(limits.redirects);
  transfer.watch = Watch(limits, limits.definitionsFetchMs);
  try {
    if (!platform::DownloadUrlToFile(UpdateServer() + kProductFolder + "ref.dat", tmpFile, transfer)) return false;
    std::string bytes;
    if (platform::ReadFileBytes(tmpFile, bytes, limits.definitionsBytes) != platform::ReadResult::Ok) return false;
    if (!FitsAsNextVersion(bytes)) return false;
    std::string text = core::DecodeDefinitionsBytes(bytes, platform::AnsiToUtf8);
    std::string().swap(bytes);
    return core::LooksLikeDefinitions(text, limits.definitionsRecords);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace

std::string UpdateServer() {
  const std::string configured = UpdatesValue("SERVER");
  const std::string base = core::BaseAddress(configured);
  return base.empty() ? kDefaultServer : base;
}

VersionCheck CheckServerVersion() {
  std::string versionFile;
  if (!FetchVersionFile(LimitsInForce(), versionFile)) return VersionCheck::NotFetched;
  // Read as the definitions file is: ANSI, or UTF-8 after a byte-order mark
  // (Notepad's "UTF-8"), which is no part of the version.
  const std::string serverText =
      core::ServerVersionText(core::DecodeDefinitionsBytes(std::move(versionFile), platform::AnsiToUtf8));
  const std::string localText = LocalVersion();
  switch (core::Compare(localText, serverText)) {
    case core::Comparison::Newer:
      return VersionCheck::Newer;
    case core::Comparison::UpToDate:
      return VersionCheck::UpToDate;
    case core::Comparison::Unknown:
      break;
  }
  return VersionCheck::Unknown;
}

DefinitionsDownload DownloadNewDefinitions() {
  const std::string tmpFile = platform::AppPath("ref.tmp");
  DefinitionsDownload result;
  if (FetchDefinitions(LimitsInForce(), tmpFile)) {
    result.outcome = platform::ReplaceFileWith(platform::AppPath("ref.dat"), tmpFile, result.error)
                         ? DefinitionsDownload::Outcome::Replaced
                         : DefinitionsDownload::Outcome::NotReplaced;
  }
  platform::DeleteEvenIfReadOnly(tmpFile);
  return result;
}

}  // namespace features
