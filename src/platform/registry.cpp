#include "platform/registry.h"

#include <windows.h>

#include <vector>

#include "platform/handles.h"
#include "platform/text.h"

namespace platform {

std::optional<std::string> ReadUserText(const std::string& keyPath, const std::string& name) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, KEY_QUERY_VALUE, &raw) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  UniqueRegKey hkey(raw);
  const std::wstring valueName = Widen(name);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(hkey.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  // One spare character: a stored value need not end in a NUL.
  std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
  DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (RegQueryValueExW(hkey.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  size_t length = got / sizeof(wchar_t);
  while (length > 0 && buffer[length - 1] == L'\0') --length;
  return Narrow(std::wstring_view(buffer.data(), length));
}

void WriteUserText(const std::string& keyPath, const std::string& name, const std::string& value) {
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &raw, nullptr) != ERROR_SUCCESS) {
    return;
  }
  UniqueRegKey hkey(raw);
  const std::wstring data = Widen(value);
  RegSetValueExW(hkey.get(), Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

}  // namespace platform
