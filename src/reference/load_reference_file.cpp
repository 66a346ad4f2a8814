// Loading the definitions file into the reference list at start-up.
#include <windows.h>

#include "platform/disk_lister.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "reference/definitions.h"
#include "reference/reference_syntax.h"
#include "startup/program.h"
#include "ui/frmmain.h"

namespace ui {

void frmmain::loadReferenceFile() {
  // The old load is let go first: a large file is then never held twice,
  // unless a running scan still works with it.
  program_.frmtray.SetDefinitions(
      std::make_shared<const reference::Definitions>(reference::ReferenceList(), platform::FoldCase));
  const std::string path = platform::AppPath("ref.dat");
  std::string bytes;
  // A file that vanished or cannot be read after the existence test counts
  // as missing too: the program cannot work without its definitions.
  if (platform::FileExists(path) && platform::ReadFileBytes(path, bytes) == platform::ReadResult::Ok) {
    reference::ReferenceList list;
    list.AssignText(reference::DecodeReferenceBytes(std::move(bytes), platform::AnsiToUtf8));
    program_.frmtray.SetDefinitions(std::make_shared<const reference::Definitions>(std::move(list), platform::FoldCase));
    return;
  }
  platform::ShowMessage(nullptr,
                        "Reference file not found cannot launch application. Contact provider for help\r\n"
                        "Application will now terminate",
                        MB_OK | MB_ICONHAND);
  ExitProcess(0);
}

}  // namespace ui
