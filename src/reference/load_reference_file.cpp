// Loading the definitions file into the reference list at start-up.
#include <windows.h>

#include <new>

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "reference/reference_list.h"
#include "reference/reference_syntax.h"
#include "startup/program.h"
#include "ui/frmmain.h"
#include "update/update_limits.h"

namespace ui {
namespace {

enum class LoadResult { Loaded, Missing, Damaged };

// Reads ref.dat into `records` within the limits a downloaded file is held
// to, so that no file, however large or broken, can exhaust memory.
LoadResult ReadDefinitions(const std::string& path, std::vector<std::string>& records) {
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
    std::string text = reference::DecodeReferenceBytes(bytes, platform::AnsiToUtf8);
    std::string().swap(bytes);
    return reference::ParseItemsUpTo(text, update::kDefinitionsRecords, records) ? LoadResult::Loaded
                                                                                  : LoadResult::Damaged;
  } catch (const std::bad_alloc&) {
    records.clear();
    records.shrink_to_fit();
    return LoadResult::Damaged;
  }
}

}  // namespace

void frmmain::loadReferenceFile() {
  reference::ReferenceList& list = program_.frmtray.lstadwarenames();
  list.Clear();
  const std::string path = platform::AppPath("ref.dat");
  // A file that vanished or cannot be read after the existence test counts
  // as missing too: the program cannot work without its definitions.
  LoadResult result = LoadResult::Missing;
  std::vector<std::string> records;
  if (platform::FileExists(path)) result = ReadDefinitions(path, records);
  if (result == LoadResult::Loaded) {
    list.Assign(std::move(records));
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
