#include "driver/wine_registry.h"

#include <windows.h>

#include <string>

#include "platform/handles.h"
#include "platform/text.h"

namespace e2e {
namespace {

constexpr const wchar_t* kSettingsKey = L"Software\\VB and VBA Program Settings\\Tallowick Parawarden\\SETTINGS";
constexpr const wchar_t* kAppKey = L"Software\\VB and VBA Program Settings\\Tallowick Parawarden";
constexpr const wchar_t* kPolicyKey = L"Software\\Tallowick Parawarden\\Policy";
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kTitle = L"Tallowick Parawarden";

void WriteString(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
  HKEY raw = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) != ERROR_SUCCESS) return;
  platform::UniqueRegKey key(raw);
  RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::optional<std::string> ReadString(HKEY root, const wchar_t* path, const wchar_t* name) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return std::nullopt;
  platform::UniqueRegKey key(raw);
  wchar_t buffer[2048];
  DWORD size = sizeof buffer - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return std::nullopt;
  }
  buffer[size / sizeof(wchar_t)] = L'\0';
  return platform::Narrow(buffer);
}

}  // namespace

void ResetProgramRegistry() {
  RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey);
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Tallowick Parawarden\\UPDATES");
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Tallowick Parawarden\\EXCLUSIONS");
  RegDeleteKeyW(HKEY_CURRENT_USER, kAppKey);
  for (const wchar_t* section : {L"SETTINGS", L"UPDATES", L"EXCLUSIONS"}) {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, (std::wstring(kPolicyKey) + L"\\" + section).c_str());
  }
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kPolicyKey);
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &raw) == ERROR_SUCCESS) {
    platform::UniqueRegKey key(raw);
    RegDeleteValueW(key.get(), kTitle);
  }
}

void SetPolicyString(const std::string& section, const std::string& name, const std::string& value) {
  WriteString(HKEY_LOCAL_MACHINE, std::wstring(kPolicyKey) + L"\\" + platform::Widen(section),
              platform::Widen(name).c_str(), platform::Widen(value));
}

void SetSetting(const std::string& key, const std::string& value) {
  WriteString(HKEY_CURRENT_USER, kSettingsKey, platform::Widen(key).c_str(), platform::Widen(value));
}

std::optional<std::string> GetSetting(const std::string& key) {
  return ReadString(HKEY_CURRENT_USER, kSettingsKey, platform::Widen(key).c_str());
}

void SetUserString(const std::string& keyPath, const std::string& name, const std::string& value) {
  WriteString(HKEY_CURRENT_USER, platform::Widen(keyPath), platform::Widen(name).c_str(), platform::Widen(value));
}

void SetUpdateServer(const std::string& address) {
  WriteString(HKEY_CURRENT_USER, std::wstring(kAppKey) + L"\\UPDATES", L"SERVER", platform::Widen(address));
}

std::optional<std::string> GetRunValue() { return ReadString(HKEY_CURRENT_USER, kRunKey, kTitle); }

void AssociateDocumentsWith(const std::string& recorderPath) {
  const std::wstring command = L"\"" + platform::Widen(recorderPath) + L"\" \"%1\"";
  for (const wchar_t* extension : {L".html", L".htm", L".txt"}) {
    WriteString(HKEY_CLASSES_ROOT, extension, nullptr, L"ParawardenTest.Document");
  }
  WriteString(HKEY_CLASSES_ROOT, L"ParawardenTest.Document\\shell\\open\\command", nullptr, command);
  WriteString(HKEY_CLASSES_ROOT, L"http", L"URL Protocol", L"");
  WriteString(HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", nullptr, command);
}

}  // namespace e2e
