#include "platform/startup_entries.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include "platform/handles.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/text.h"

namespace platform {
namespace {

constexpr const char* kRunKeys[] = {
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
};
// On 64-bit Windows the machine's keys above are the 32-bit programs' view;
// 64-bit programs start from these. The user's keys are one for both.
constexpr const char* k64BitRunKeys[] = {
    "HKLM64\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "HKLM64\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
};

// The root, the path below it and the registry view of "HKCU\...",
// "HKLM\..." or "HKLM64\...".
bool SplitKey(const std::string& key, HKEY& root, std::wstring& path, REGSAM& view) {
  size_t rootLength = 5;
  view = 0;
  if (key.compare(0, 5, "HKCU\\") == 0) {
    root = HKEY_CURRENT_USER;
  } else if (key.compare(0, 5, "HKLM\\") == 0) {
    root = HKEY_LOCAL_MACHINE;
  } else if (key.compare(0, 7, "HKLM64\\") == 0) {
    root = HKEY_LOCAL_MACHINE;
    view = KEY_WOW64_64KEY;
    rootLength = 7;
  } else {
    return false;
  }
  path = Widen(key.substr(rootLength));
  return true;
}

UniqueRegKey OpenKey(const std::string& key, REGSAM access) {
  HKEY root = nullptr;
  std::wstring path;
  REGSAM view = 0;
  HKEY raw = nullptr;
  if (!SplitKey(key, root, path, view) || RegOpenKeyExW(root, path.c_str(), 0, access | view, &raw) != ERROR_SUCCESS) {
    return UniqueRegKey();
  }
  return UniqueRegKey(raw);
}

std::string Expanded(const std::wstring& text) {
  const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (needed == 0) return Narrow(text);
  std::wstring expanded(needed, L'\0');
  const DWORD written = ExpandEnvironmentStringsW(text.c_str(), &expanded[0], needed);
  if (written == 0 || written > needed) return Narrow(text);
  expanded.resize(written - 1);
  return Narrow(expanded);
}

template <typename Interface>
struct ComReleaser {
  void operator()(Interface* object) const { object->Release(); }
};
template <typename Interface>
using ComPtr = std::unique_ptr<Interface, ComReleaser<Interface>>;


std::string ShortcutTarget(IShellLinkW& link, IPersistFile& file, const std::wstring& path) {
  wchar_t target[MAX_PATH] = {};
  if (FAILED(file.Load(path.c_str(), STGM_READ)) || link.GetPath(target, MAX_PATH, nullptr, 0) != S_OK) {
    return std::string();
  }
  return Narrow(target);
}

bool MayDelete(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  return static_cast<bool>(file);
}

}  // namespace

std::vector<LogOnValue> ListLogOnValues() {
  std::vector<LogOnValue> values;
  std::vector<const char*> keys(std::begin(kRunKeys), std::end(kRunKeys));
  if (RunsOn64BitWindows()) keys.insert(keys.end(), std::begin(k64BitRunKeys), std::end(k64BitRunKeys));
  for (const char* keyName : keys) {
    // Opened for writing, so a key this user cannot change is passed over.
    UniqueRegKey key = OpenKey(keyName, KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (!key) continue;
    for (NamedText& text : ReadTextValues(key.get())) {
      LogOnValue value;
      value.key = keyName;
      value.name = std::move(text.name);
      value.type = text.expandable ? REG_EXPAND_SZ : REG_SZ;
      value.command = text.expandable ? Expanded(Widen(text.text)) : text.text;
      value.data = std::move(text.text);
      values.push_back(std::move(value));
    }
  }
  return values;
}

bool IsLogOnKey(const std::string& key) {
  for (const char* known : kRunKeys) {
    if (key == known) return true;
  }
  for (const char* known : k64BitRunKeys) {
    if (key == known) return true;
  }
  return false;
}

bool DeleteLogOnValue(const std::string& key, const std::string& name) {
  if (!IsLogOnKey(key)) return false;
  UniqueRegKey opened = OpenKey(key, KEY_SET_VALUE);
  return opened && RegDeleteValueW(opened.get(), Widen(name).c_str()) == ERROR_SUCCESS;
}

bool WriteLogOnValue(const std::string& key, const std::string& name, uint32_t type, const std::string& data) {
  HKEY root = nullptr;
  std::wstring path;
  REGSAM view = 0;
  HKEY raw = nullptr;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  if (!IsLogOnKey(key) || !SplitKey(key, root, path, view) ||
      RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE | view, nullptr, &raw,
                      nullptr) !=
          ERROR_SUCCESS) {
    return false;
  }
  UniqueRegKey opened(raw);
  const std::wstring text = Widen(data);
  // The user may have set that name to something else since, say a newer
  // version of the program; that stays.
  const std::wstring valueName = Widen(name);
  DWORD storedType = 0, size = 0;
  const LONG status = RegQueryValueExW(opened.get(), valueName.c_str(), nullptr, &storedType, nullptr, &size);
  if (status != ERROR_FILE_NOT_FOUND) {
    if (status != ERROR_SUCCESS || storedType != type) return false;
    std::wstring stored(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(opened.get(), valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&stored[0]),
                         &size) != ERROR_SUCCESS) {
      return false;
    }
    stored.resize(std::min<size_t>(size / sizeof(wchar_t), stored.size()));
    while (!stored.empty() && stored.back() == L'\0') stored.pop_back();
    return stored == text;
  }
  return RegSetValueExW(opened.get(), Widen(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::vector<std::string> StartupFolders() {
  std::vector<std::string> folders;
  for (int folderId : {CSIDL_STARTUP, CSIDL_COMMON_STARTUP}) {
    wchar_t folder[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, folderId, nullptr, SHGFP_TYPE_CURRENT, folder) == S_OK) {
      folders.push_back(Narrow(folder));
    }
  }
  return folders;
}

std::vector<StartupShortcut> ListStartupShortcuts() {
  std::vector<StartupShortcut> shortcuts;
  ComApartment apartment;
  IShellLinkW* rawLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&rawLink)))) {
    return shortcuts;
  }
  ComPtr<IShellLinkW> link(rawLink);
  IPersistFile* rawFile = nullptr;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) return shortcuts;
  ComPtr<IPersistFile> file(rawFile);
  for (const std::string& startupFolder : StartupFolders()) {
    const std::wstring folder = Widen(startupFolder);
    const std::wstring pattern = folder + L"\\*.lnk";
    WIN32_FIND_DATAW found;
    UniqueFind find(FindFirstFileW(pattern.c_str(), &found));
    if (!find) continue;
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      const std::wstring path = folder + L"\\" + found.cFileName;
      if (!MayDelete(path)) continue;
      shortcuts.push_back({Narrow(path), ShortcutTarget(*link, *file, path)});
    } while (FindNextFileW(find.get(), &found));
  }
  return shortcuts;
}

std::string ShortcutFileTarget(const std::string& path) {
  ComApartment apartment;
  IShellLinkW* rawLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&rawLink)))) {
    return std::string();
  }
  ComPtr<IShellLinkW> link(rawLink);
  IPersistFile* rawFile = nullptr;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) return std::string();
  ComPtr<IPersistFile> file(rawFile);
  return ShortcutTarget(*link, *file, Widen(path));
}

std::string CommandOfValue(uint32_t type, const std::string& data) {
  return type == REG_EXPAND_SZ ? Expanded(Widen(data)) : data;
}

}  // namespace platform
