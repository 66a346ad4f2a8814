#include "platform/registry.h"

#include <windows.h>

#include <set>
#include <vector>

#include "platform/handles.h"
#include "platform/system.h"
#include "platform/text.h"

namespace platform {

namespace {

// The text of a value's stored bytes, without the NULs that end it.
std::string TextOf(const std::vector<wchar_t>& buffer, DWORD bytes) {
  size_t length = bytes / sizeof(wchar_t);
  while (length > 0 && buffer[length - 1] == L'\0') --length;
  return Narrow(std::wstring_view(buffer.data(), length));
}

std::optional<std::string> ReadText(HKEY key, const std::string& name);

// The views of HKEY_LOCAL_MACHINE\Software to read, the one that wins
// first. The view flags are passed only on 64-bit Windows; a system with
// one view has nothing for them to choose (32-bit XP ignores them).
std::vector<REGSAM> MachineViews() {
  if (RunsOn64BitWindows()) return {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
  return {0};
}

UniqueRegKey OpenMachineKey(const std::string& keyPath, REGSAM view) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(keyPath).c_str(), 0, KEY_QUERY_VALUE | view, &raw) != ERROR_SUCCESS) {
    return UniqueRegKey();
  }
  return UniqueRegKey(raw);
}

std::string Folded(const std::string& name) {
  std::wstring wide = Widen(name);
  if (!wide.empty()) CharLowerBuffW(&wide[0], static_cast<DWORD>(wide.size()));
  return Narrow(wide);
}

}  // namespace

std::optional<std::string> ReadUserText(const std::string& keyPath, const std::string& name) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  UniqueRegKey hkey(raw);
  return ReadText(hkey.get(), name);
}

namespace {

std::optional<std::string> ReadText(HKEY key, const std::string& name) {
  const std::wstring valueName = Widen(name);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  // One spare character: a stored value need not end in a NUL.
  std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
  DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return TextOf(buffer, got);
}

}  // namespace

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

std::vector<NamedText> ReadUserTexts(const std::string& keyPath) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return {};
  const UniqueRegKey key(raw);
  return ReadTextValues(key.get());
}

std::vector<NamedText> ReadTextValues(HKEY key) {
  std::vector<NamedText> values;
  DWORD longestName = 0;
  DWORD longestData = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                       &longestData, nullptr, nullptr) != ERROR_SUCCESS) {
    return values;
  }
  std::vector<wchar_t> name(longestName + 1);
  std::vector<wchar_t> data(longestData / sizeof(wchar_t) + 1);
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD dataBytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    DWORD type = 0;
    const LONG status = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data.data()), &dataBytes);
    if (status != ERROR_SUCCESS) break;  // ERROR_NO_MORE_ITEMS, or a value that grew meanwhile
    if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
    values.push_back({Narrow(std::wstring_view(name.data(), nameLength)), TextOf(data, dataBytes), type == REG_EXPAND_SZ});
  }
  return values;
}

void DeleteUserValue(const std::string& keyPath, const std::string& name) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS) return;
  UniqueRegKey hkey(raw);
  RegDeleteValueW(hkey.get(), Widen(name).c_str());
}

void DeleteUserValues(const std::string& keyPath, const std::vector<std::string>& names) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS) return;
  UniqueRegKey hkey(raw);
  for (const std::string& name : names) RegDeleteValueW(hkey.get(), Widen(name).c_str());
}

std::optional<std::string> ReadMachineText(const std::string& keyPath, const std::string& name) {
  for (REGSAM view : MachineViews()) {
    const UniqueRegKey key = OpenMachineKey(keyPath, view);
    if (!key) continue;
    std::optional<std::string> text = ReadText(key.get(), name);
    if (text) return text;
  }
  return std::nullopt;
}

std::vector<NamedText> ReadMachineTexts(const std::string& keyPath) {
  std::vector<NamedText> values;
  std::set<std::string> names;
  for (REGSAM view : MachineViews()) {
    const UniqueRegKey key = OpenMachineKey(keyPath, view);
    if (!key) continue;
    for (NamedText& value : ReadTextValues(key.get())) {
      // On Windows 7 and later some keys are one for both views.
      if (names.insert(Folded(value.name)).second) values.push_back(std::move(value));
    }
  }
  return values;
}

}  // namespace platform
