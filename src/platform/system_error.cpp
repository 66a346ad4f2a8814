#include "platform/system_error.h"

#include "platform/text.h"

namespace platform {

std::string SystemErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text;
  if (length != 0 && buffer != nullptr) {
    text = Narrow(std::wstring_view(buffer, length));
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  }
  if (buffer != nullptr) LocalFree(buffer);
  if (text.empty()) text = "Error " + std::to_string(error);
  return text;
}

}  // namespace platform
