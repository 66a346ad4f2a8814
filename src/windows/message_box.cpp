#include "windows/message_box.h"

#include "core/program_identity.h"
#include "platform/message_box.h"
#include "windows/modal_loop.h"

namespace windows {

int ShowMessage(HWND owner, const std::string& text, UINT type, const std::string& caption) {
  const ModalLoop loop;
  return platform::ShowMessageBox(owner, text, caption.empty() ? std::string(core::kTitle) : caption, type);
}

void ShowFailures(HWND owner, const std::vector<std::string>& items, const std::string& verb,
                  const std::string& adviceForOne, const std::string& adviceForMany) {
  if (items.empty()) return;
  std::string text = (items.size() == 1 ? std::string("1 item") : std::to_string(items.size()) + " items") +
                     " could not be " + verb + ":";
  for (const std::string& item : items) text += "\r\n" + item;
  text += "\r\n\r\n" + (items.size() == 1 ? adviceForOne : adviceForMany);
  ShowMessage(owner, text, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace windows
