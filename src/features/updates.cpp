#include "features/updates.h"

#include <new>
#include <utility>

#include "core/definitions_list.h"
#include "core/definitions_signature.h"
#include "core/publisher_keys.h"
#include "core/update_limits.h"
#include "core/version_text.h"
#include "features/settings.h"
#include "platform/atomic_file.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/signature_check.h"
#include "platform/text.h"
#include "platform/url_download.h"

namespace features {
namespace {

constexpr const char* kDefaultServer = "http://updates.parawarden.example";
constexpr const char* kProductFolder = "/products/qvr/";
// An administrator's own signing keys: under HKEY_LOCAL_MACHINE, since a key
// that the user's registry could add, any program the user runs could add.
constexpr const char* kTrustedKeysPath = "SOFTWARE\\Tallowick Parawarden\\UPDATES";
constexpr const char* kTrustedKeysValue = "TRUSTEDKEYS";

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

enum class Fetch { Fetched, NotFetched, NotVerified };

// The keys a signature may come from: the built-in ones and the
// administrator's. A built-in id is never taken over by the administrator's
// key.
std::vector<core::PublicKey> TrustedKeys() {
  std::vector<core::PublicKey> keys = core::ParsePublicKeys(core::kBuiltInPublisherKeys);
  const auto own = platform::ReadMachineText(kTrustedKeysPath, kTrustedKeysValue);
  if (own) {
    for (core::PublicKey& key : core::ParsePublicKeys(*own)) keys.push_back(std::move(key));
  }
  return keys;
}

// The signature published beside ref.dat, read whole; false when it could
// not be fetched or is no signature file.
bool FetchSignature(const core::UpdateLimits& limits, core::DefinitionsSignature& signature) {
  platform::TransferLimits transfer;
  transfer.maxBytes = core::kSignatureFileBytes;
  transfer.needsMarkedEnd = true;
  transfer.maxRedirects = static_cast<unsigned>(limits.redirects);
  transfer.watch = Watch(limits, limits.VersionFetchMs());
  std::string text;
  return platform::DownloadUrl(UpdateServer() + kProductFolder + "ref.dat.sig", transfer, text) &&
         core::ParseDefinitionsSignature(text, signature);
}

// Whether `signature` is the publisher's, made for these very bytes as the
// product's ref.dat.
bool SignedByPublisher(const core::DefinitionsSignature& signature, std::string_view bytes) {
  if (signature.product != core::kSignedProduct || signature.file != core::kSignedFile) return false;
  for (const core::PublicKey& key : TrustedKeys()) {
    if (key.id != signature.keyId) continue;
    return platform::CheckSignature(core::PublicKeyBlob(key), {core::SignedHeader(signature), bytes},
                                    signature.signature) == platform::SignatureCheck::Valid;
  }
  return false;
}

// The version the signature names must be the one the file's header holds,
// so that a signature made for another version cannot pass for this one.
bool VersionMatches(const core::DefinitionsSignature& signature, std::string_view bytes) {
  double signedVersion = 0;
  double fileVersion = 0;
  return core::ParseVersion(signature.version, signedVersion) &&
         core::ParseVersion(core::LocalVersionText(DefinitionsStart(bytes)), fileVersion) &&
         signedVersion == fileVersion;
}

// Fetches the server's definitions into `tmpFile`, then their signature,
// and reads them only once the signature holds; then checks them with the
// same limits the start-up load holds. Fetched only when they are fit to
// replace ref.dat.
Fetch FetchDefinitions(const core::UpdateLimits& limits, const std::string& tmpFile) {
  platform::TransferLimits transfer;
  transfer.maxBytes = limits.definitionsBytes;
  // A definitions file cut after whole entries still reads as one.
  transfer.needsMarkedEnd = true;
  transfer.maxRedirects = static_cast<unsigned>(limits.redirects);
  transfer.watch = Watch(limits, limits.definitionsFetchMs);
  try {
    if (!platform::DownloadUrlToFile(UpdateServer() + kProductFolder + "ref.dat", tmpFile, transfer)) {
      return Fetch::NotFetched;
    }
    core::DefinitionsSignature signature;
    if (!FetchSignature(limits, signature)) return Fetch::NotVerified;
    std::string bytes;
    if (platform::ReadFileBytes(tmpFile, bytes, limits.definitionsBytes) != platform::ReadResult::Ok) {
      return Fetch::NotFetched;
    }
    if (!SignedByPublisher(signature, bytes)) return Fetch::NotVerified;
    if (!FitsAsNextVersion(bytes)) return Fetch::NotFetched;
    if (!VersionMatches(signature, bytes)) return Fetch::NotVerified;
    std::string text = core::DecodeDefinitionsBytes(bytes, platform::AnsiToUtf8);
    std::string().swap(bytes);
    return core::LooksLikeDefinitions(text, limits.definitionsRecords) ? Fetch::Fetched : Fetch::NotFetched;
  } catch (const std::bad_alloc&) {
    return Fetch::NotFetched;
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
  if (!platform::SignatureCheckAvailable()) {
    result.outcome = DefinitionsDownload::Outcome::CannotVerify;
    return result;
  }
  switch (FetchDefinitions(LimitsInForce(), tmpFile)) {
    case Fetch::Fetched:
      result.outcome = platform::ReplaceFileWith(platform::AppPath("ref.dat"), tmpFile, result.error)
                           ? DefinitionsDownload::Outcome::Replaced
                           : DefinitionsDownload::Outcome::NotReplaced;
      break;
    case Fetch::NotFetched:
      result.outcome = DefinitionsDownload::Outcome::NotFetched;
      break;
    case Fetch::NotVerified:
      result.outcome = DefinitionsDownload::Outcome::NotVerified;
      break;
  }
  platform::DeleteEvenIfReadOnly(tmpFile);
  return result;
}

}  // namespace features
