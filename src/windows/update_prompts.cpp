#include "windows/update_prompts.h"

#include "core/program_identity.h"
#include "features/updates.h"
#include "toolkit/busy_pointer.h"
#include "windows/download_window.h"
#include "windows/message_box.h"
#include "windows/program.h"

namespace windows {
namespace {

constexpr const char* kNotVerified = "The new definitions could not be verified and were not installed.";

HWND MessageOwner(Program& program) {
  return program.mainWindow.IsVisible() ? program.mainWindow.hwnd() : nullptr;
}

}  // namespace

void CheckForUpdates(Program& program, bool userRequested) {
  const std::string title = core::kTitle;
  switch (features::CheckServerVersion()) {
    case features::VersionCheck::NotFetched:
      if (userRequested) {
        ShowMessage(MessageOwner(program), "The update file not found.Unable to verify if new download is present",
                    MB_OK);
      }
      break;
    case features::VersionCheck::Newer:
      if (ShowMessage(MessageOwner(program),
                      "A newer version of " + title + " is available!. Do you wish to get the download?",
                      MB_YESNO | MB_ICONINFORMATION) == IDYES) {
        DownloadDefinitions(program);
      }
      break;
    case features::VersionCheck::UpToDate:
      ShowMessage(MessageOwner(program), "Your version of " + title + " is up to date", MB_OK | MB_ICONINFORMATION);
      break;
    case features::VersionCheck::Unknown:
      if (userRequested) {
        ShowMessage(MessageOwner(program),
                    "The version of the adware definitions could not be determined. Unable to verify if "
                    "new download is present",
                    MB_OK | MB_ICONEXCLAMATION);
      }
      break;
  }
}

void DownloadDefinitions(Program& program) {
  DownloadWindow progress;
  progress.ShowNow(program.appWindow.hwnd());
  toolkit::BusyPointer busy(toolkit::Pointer::Hourglass);
  const features::DefinitionsDownload download = features::DownloadNewDefinitions();
  progress.Close();
  HWND owner = MessageOwner(program);
  switch (download.outcome) {
    case features::DefinitionsDownload::Outcome::NotFetched:
      ShowMessage(owner, "The update file could not be retreived.Unable to update new adware definitions",
                  MB_OK | MB_ICONHAND);
      break;
    case features::DefinitionsDownload::Outcome::NotVerified:
      ShowMessage(owner, kNotVerified, MB_OK | MB_ICONHAND);
      break;
    case features::DefinitionsDownload::Outcome::CannotVerify:
      ShowMessage(owner,
                  std::string(kNotVerified) +
                      "\r\nThis Windows lacks the RSA and AES cryptographic provider that checks them (Windows XP "
                      "has it from Service Pack 3 on). The current definitions are kept.",
                  MB_OK | MB_ICONHAND);
      break;
    case features::DefinitionsDownload::Outcome::NotReplaced:
      ShowMessage(owner,
                  "The new adware definitions could not replace the current ones: " + download.error +
                      "\r\nThe current definitions are kept.",
                  MB_OK | MB_ICONHAND);
      break;
    case features::DefinitionsDownload::Outcome::Replaced:
      ShowMessage(owner, "Adware definitions updated successfully. Please restart the application", MB_OK);
      break;
  }
}

}  // namespace windows
