#include "platform/message_box.h"

#include "platform/text.h"
#include "startup/app_identity.h"

namespace platform {

int ShowMessage(HWND owner, const std::string& text, UINT type, const std::string& caption) {
  const std::string& title = caption.empty() ? std::string(app::kTitle) : caption;
  return MessageBoxW(owner, Widen(text).c_str(), Widen(title).c_str(), type);
}

}  // namespace platform
