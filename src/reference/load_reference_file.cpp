// Loading the definitions file into the reference list at start-up.
#include <windows.h>

#include <memory>
#include <new>

#include "platform/disk_lister.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "reference/definitions.h"
#include "reference/reference_syntax.h"
#include "startup/program.h"
#include "ui/frmmain.h"
#include "update/update_limits.h"

namespace ui {
namespace {

enum class LoadResult { Loaded, Missing, Damaged };

// Reads ref.dat within the limits a downloaded file is held to, so that no
// file, however large or broken, can exhaust memory. The file's text is held
// once: it becomes the list's own storage.
LoadResult ReadDefinitions(const std::string& path, std::shared_ptr<const reference::Definitions>& loaded) {
  try {
    std::string bytes;
    switch (platform::ReadFileBytes(path, bytes, update::kDefinitionsBytes)) {
      case platform::ReadResult::Ok:
        break;
      case platform::ReadResult::TooLarge:
        return LoadResult::Damaged;
      case platform::ReadResult::NotFound:
      case platform::ReadResult::Failed:
        return LoadResult::Missing;
    }
    reference::ReferenceList list;
    if (!list.AssignTextUpTo(reference::DecodeReferenceBytes(std::move(bytes), platform::AnsiToUtf8),
                             update::kDefinitionsRecords)) {
      return LoadResult::Damaged;
    }
    loaded = std::make_shared<const reference::Definitions>(std::move(list), platform::FoldCase);
    return LoadResult::Loaded;
  } catch (const std::bad_alloc&) {
    return LoadResult::Damaged;
  }
}

}  // namespace

void frmmain::loadReferenceFile() {
  // The old load is let go first: a large file is then never held twice,
  // unless a running scan still works with it.
  program_.frmtray.SetDefinitions(
      std::make_shared<const reference::Definitions>(reference::ReferenceList(), platform::FoldCase));
  const std::string path = platform::AppPath("ref.dat");
  // A file that vanished or cannot be read after the existence test counts
  // as missing too: the program cannot work without its definitions.
  LoadResult result = LoadResult::Missing;
  std::shared_ptr<const reference::Definitions> loaded;
  if (platform::FileExists(path)) result = ReadDefinitions(path, loaded);
  if (result == LoadResult::Loaded) {
    program_.frmtray.SetDefinitions(std::move(loaded));
    program_.definitionsLoaded = true;
    return;
  }
  if (result == LoadResult::Damaged) {
    platform::ShowMessage(nullptr,
                          "The reference file is damaged: it is larger than " +
                              std::to_string(update::kDefinitionsBytes / (1024 * 1024)) + " MB or holds more than " +
                              std::to_string(update::kDefinitionsRecords) +
                              " records. Contact provider for help\r\nApplication will now terminate",
                          MB_OK | MB_ICONHAND);
  } else {
    platform::ShowMessage(nullptr,
                          "Reference file not found cannot launch application. Contact provider for help\r\n"
                          "Application will now terminate",
                          MB_OK | MB_ICONHAND);
  }
  ExitProcess(0);
}

}  // namespace ui
