// Settings store on the registry: REG_SZ values under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<app>\<section>,
// where earlier releases of the program keep them, so an upgrade keeps the
// user's preferences and figures.
#include <windows.h>

#include <vector>

#include "platform/handles.h"
#include "platform/text.h"
#include "settings/setting_values.h"
#include "settings/settings_store.h"
#include "startup/app_identity.h"

namespace settings {
namespace {

std::wstring SectionKeyPath(const std::string& appName, const std::string& section) {
  return L"Software\\VB and VBA Program Settings\\" + platform::Widen(appName) + L"\\" + platform::Widen(section);
}

}  // namespace

std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                       const std::string& defaultValue) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionKeyPath(appName, section).c_str(), 0, KEY_QUERY_VALUE, &raw) !=
      ERROR_SUCCESS) {
    return defaultValue;
  }
  platform::UniqueRegKey hkey(raw);
  const std::wstring name = platform::Widen(key);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return defaultValue;
  }
  // One spare character: a stored value need not end in a NUL.
  std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
  DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) !=
      ERROR_SUCCESS) {
    return defaultValue;
  }
  size_t length = got / sizeof(wchar_t);
  while (length > 0 && buffer[length - 1] == L'\0') --length;
  return platform::Narrow(std::wstring_view(buffer.data(), length));
}

void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& value) {
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, SectionKeyPath(appName, section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &raw, nullptr) != ERROR_SUCCESS) {
    return;
  }
  platform::UniqueRegKey hkey(raw);
  const std::wstring data = platform::Widen(value);
  RegSetValueExW(hkey.get(), platform::Widen(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

std::string GetAppSetting(const std::string& key, const std::string& defaultValue) {
  return GetSetting(app::kTitle, kSection, key, defaultValue);
}

void SaveAppSetting(const std::string& key, const std::string& value) { SaveSetting(app::kTitle, kSection, key, value); }

}  // namespace settings
