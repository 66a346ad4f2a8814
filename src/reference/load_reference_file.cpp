// Loading the definitions file into the reference list at start-up.
#include <windows.h>

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "reference/reference_list.h"
#include "reference/reference_syntax.h"
#include "startup/program.h"
#include "ui/frmmain.h"

namespace ui {

void frmmain::loadReferenceFile() {
  reference::ReferenceList& list = program_.frmtray.lstadwarenames();
  list.Clear();
  const std::string path = platform::AppPath("ref.dat");
  std::string bytes;
  // A file that vanished or cannot be read after the existence test counts
  // as missing too: the program cannot work without its definitions.
  if (platform::FileExists(path) && platform::ReadFileBytes(path, bytes) == platform::ReadResult::Ok) {
    list.Assign(reference::ParseItems(reference::DecodeReferenceBytes(bytes, platform::AnsiToUtf8)));
    program_.definitionsLoaded = true;
    return;
  }
  platform::ShowMessage(nullptr,
                        "Reference file not found cannot launch application. Contact provider for help\r\n"
                        "Application will now terminate",
                        MB_OK | MB_ICONHAND);
  ExitProcess(0);
}

}  // namespace ui
