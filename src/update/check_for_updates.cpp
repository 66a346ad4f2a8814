#include "update/check_for_updates.h"

#include <windows.h>

#include <new>

#include "platform/atomic_file.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/system_error.h"
#include "platform/text.h"
#include "platform/url_download.h"
#include "reference/reference_list.h"
#include "settings/settings_store.h"
#include "startup/app_identity.h"
#include "startup/program.h"
#include "ui/frmprogress.h"
#include "update/update_limits.h"
#include "update/version_text.h"

namespace {

constexpr const char* kDefaultServer = "http://updates.parawarden.example";
constexpr const char* kProductFolder = "/products/qvr/";

HWND MessageOwner(Program& program) {
  return program.frmmain.IsVisible() ? program.frmmain.hwnd() : nullptr;
}

// The first eight characters of the local definitions, or the empty text
// when they cannot be read.
std::string LocalDefinitionsStart() {
  std::string bytes;
  if (platform::ReadFileStart(platform::AppPath("ref.dat"), 3 + 8, bytes) != platform::ReadResult::Ok) {
    return std::string();
  }
  // A byte-order mark is no part of the header, as the loader also holds.
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  return bytes.substr(0, 8);
}

update::UpdateLimits LimitsInForce() {
  return update::LimitsWithOverrides(
      [](const char* key) { return settings::GetSetting(app::kTitle, "UPDATES", key, ""); });
}

platform::WatchLimits Watch(const update::UpdateLimits& limits, uint64_t wholeTransferMs) {
  platform::WatchLimits watch;
  watch.connectTimeoutMs = static_cast<uint32_t>(limits.connectTimeoutMs);
  watch.stallTimeoutMs = static_cast<uint32_t>(limits.stallTimeoutMs);
  watch.stallMinBytes = update::kStallMinBytes;
  watch.wholeTransferMs = static_cast<uint32_t>(wholeTransferMs);
  return watch;
}

// The version file's start, read to its first field at most; false when it
// could not be fetched. The whole fetch is bounded in time, so that the
// automatic check at start cannot hold the program for long.
bool FetchVersionFile(const update::UpdateLimits& limits, std::string& versionFile) {
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
  platform::DeleteFileForced(updFile);
  return fetched;
}

// Fetches the server's definitions into `tmpFile` and checks them with the
// same limits the start-up load holds; false when they are not fit to
// replace ref.dat.
bool FetchDefinitions(const update::UpdateLimits& limits, const std::string& tmpFile) {
  platform::TransferLimits transfer;
  transfer.maxBytes = limits.definitionsBytes;
  transfer.maxRedirects = static_cast<unsigned>(limits.redirects);
  transfer.watch = Watch(limits, 0);
  try {
    if (!platform::DownloadUrlToFile(UpdateServer() + kProductFolder + "ref.dat", tmpFile, transfer)) return false;
    std::string bytes;
    if (platform::ReadFileBytes(tmpFile, bytes, limits.definitionsBytes) != platform::ReadResult::Ok) return false;
    std::string text = reference::DecodeReferenceBytes(bytes, platform::AnsiToUtf8);
    std::string().swap(bytes);
    return update::LooksLikeDefinitions(text, limits.definitionsRecords);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// Replaces ref.dat with the downloaded file in one step, so it is never
// half-written; false (ref.dat untouched) when it cannot be replaced.
bool ReplaceDefinitions(const std::string& downloaded, std::string& error) {
  const std::wstring from = platform::Widen(downloaded);
  {
    HANDLE file = CreateFileW(from.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      FlushFileBuffers(file);
      CloseHandle(file);
    }
  }
  if (MoveFileExW(from.c_str(), platform::Widen(platform::AppPath("ref.dat")).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  error = platform::SystemErrorText(GetLastError());
  return false;
}

}  // namespace

std::string UpdateServer() {
  const std::string configured = settings::GetSetting(app::kTitle, "UPDATES", "SERVER", "");
  const std::string base = update::BaseAddress(configured);
  return base.empty() ? kDefaultServer : base;
}

void CheckForUpdates(Program& program, int userRequested) {
  const std::string title = app::kTitle;
  std::string versionFile;
  if (!FetchVersionFile(LimitsInForce(), versionFile)) {
    if (userRequested == 1) {
      platform::ShowMessage(MessageOwner(program),
                            "The update file not found.Unable to verify if new download is present", MB_OK);
    }
    return;
  }
  const std::string serverText = update::ServerVersionText(platform::AnsiToUtf8(versionFile));
  const std::string localText = update::LocalVersionText(LocalDefinitionsStart());
  switch (update::Compare(localText, serverText)) {
    case update::Comparison::Newer:
      if (platform::ShowMessage(MessageOwner(program),
                                "A newer version of " + title + " is available!. Do you wish to get the download?",
                                MB_YESNO | MB_ICONINFORMATION) == IDYES) {
        DownloadDefinitions(program);
      }
      break;
    case update::Comparison::UpToDate:
      platform::ShowMessage(MessageOwner(program), "Your version of " + title + " is up to date",
                            MB_OK | MB_ICONINFORMATION);
      break;
    case update::Comparison::Unknown:
      if (userRequested == 1) {
        platform::ShowMessage(MessageOwner(program),
                              "The version of the adware definitions could not be determined.Unable to verify if "
                              "new download is present",
                              MB_OK | MB_ICONEXCLAMATION);
      }
      break;
  }
}

void DownloadDefinitions(Program& program) {
  ui::frmprogress progress;
  progress.ShowNow(program.appWindow.hwnd());
  program.mousePointer = 11;
  ui::ApplyMousePointer(program.mousePointer);
  const std::string tmpFile = platform::AppPath("ref.tmp");
  const bool ok = FetchDefinitions(LimitsInForce(), tmpFile);
  std::string replaceError;
  const bool replaced = ok && ReplaceDefinitions(tmpFile, replaceError);
  platform::DeleteFileForced(tmpFile);
  progress.Close();
  HWND owner = MessageOwner(program);
  if (!ok) {
    platform::ShowMessage(owner, "The update file could not be retreived.Unable to update new adware definitions",
                          MB_OK | MB_ICONHAND);
  } else if (!replaced) {
    platform::ShowMessage(owner,
                          "The new adware definitions could not replace the current ones: " + replaceError +
                              "\r\nThe current definitions are kept.",
                          MB_OK | MB_ICONHAND);
  } else {
    platform::ShowMessage(owner, "Adware definitions updated successfully. Please restart the application", MB_OK);
  }
  program.mousePointer = 0;
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}
