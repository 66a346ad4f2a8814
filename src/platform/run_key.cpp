#include "platform/run_key.h"

#include <windows.h>

#include "platform/handles.h"
#include "platform/text.h"

namespace platform {
namespace {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

UniqueRegKey OpenRunKeyForWriting() {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_WRITE, &raw) != ERROR_SUCCESS) return UniqueRegKey();
  return UniqueRegKey(raw);
}

}  // namespace

void SetRunValue(const std::string& name, const std::string& data) {
  UniqueRegKey key = OpenRunKeyForWriting();
  if (!key) return;
  const std::wstring text = Widen(data);
  RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void DeleteRunValue(const std::string& name) {
  UniqueRegKey key = OpenRunKeyForWriting();
  if (!key) return;
  RegDeleteValueW(key.get(), Widen(name).c_str());
}

}  // namespace platform
