#include "windows/message_box.h"

#include "core/program_identity.h"
#include "platform/message_box.h"
#include "windows/message_box.h"

namespace windows {

int ShowMessage(HWND owner, const std::string& text, UINT type, const std::string& caption) {
  return platform::ShowMessageBox(owner, text, caption.empty() ? std::string(core::kTitle) : caption, type);
}

}  // namespace windows
