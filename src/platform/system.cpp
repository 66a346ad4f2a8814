#include "platform/system.h"

#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "platform/handles.h"
#include "platform/system_function.h"
#include "platform/text.h"

namespace platform {

int32_t OsPlatformId() {
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  std::memset(info.szCSDVersion, ' ', sizeof info.szCSDVersion);
  static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record is 148 bytes");
  // The result is deliberately not looked at: a failed call leaves the zeroed
  // platform field, which reads as "not recognised".
  GetVersionExA(&info);
  return static_cast<int32_t>(info.dwPlatformId);
}

std::string WindowsDirectory() {
  wchar_t buffer[MAX_PATH + 1];
  const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return std::string();
  return Narrow(std::wstring_view(buffer, length));
}

std::vector<std::string> ProgramFilesFolders() {
  std::vector<std::string> folders;
  wchar_t folder[MAX_PATH] = {};
  if (SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder) == S_OK) {
    folders.push_back(Narrow(folder));
  }
  // A 32-bit program is shown the 32-bit folder only; the system names the
  // other in its environment.
  for (const wchar_t* name : {L"ProgramW6432", L"ProgramFiles(x86)"}) {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    if (length > 0 && length < MAX_PATH) folders.push_back(Narrow(std::wstring_view(value, length)));
  }
  return folders;
}

std::string SystemDirectory() {
  wchar_t buffer[MAX_PATH + 1];
  const UINT length = GetSystemDirectoryW(buffer, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return std::string();
  return Narrow(std::wstring_view(buffer, length));
}

void OpenDocument(const std::string& target) {
  ShellExecuteW(nullptr, nullptr, Widen(target).c_str(), nullptr, L"C:\\", SW_SHOWNORMAL);
}

void ShellOpen(HWND owner, const std::string& path) {
  ShellExecuteW(owner, L"open", Widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

int ScreenDpi() {
  ScreenDC dc;
  const int dpi = dc.get() != nullptr ? GetDeviceCaps(dc.get(), LOGPIXELSX) : 0;
  return dpi > 0 ? dpi : 96;
}

int ProcessorCount() {
  SYSTEM_INFO info = {};
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors > 0 ? static_cast<int>(info.dwNumberOfProcessors) : 1;
}

bool RunsOn64BitWindows() {
  // Looked up rather than linked: the first releases of XP lack it.
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  const auto isWow64 = SystemFunction<IsWow64ProcessFn>(L"kernel32.dll", "IsWow64Process");
  BOOL wow64 = FALSE;
  return isWow64 != nullptr && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
  if (list == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Narrow(list[i]));
  LocalFree(list);
  return arguments;
}

std::optional<std::string> ChooseFolder(HWND owner, const std::string& prompt) {
  ComApartment apartment;
  const std::wstring title = Widen(prompt);
  wchar_t displayName[MAX_PATH] = {};
  BROWSEINFOW info = {};
  info.hwndOwner = owner;
  info.pszDisplayName = displayName;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
  if (chosen == nullptr) return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  const BOOL isPath = SHGetPathFromIDListW(chosen, path);
  CoTaskMemFree(chosen);
  if (!isPath) return std::nullopt;
  return Narrow(path);
}

std::optional<std::string> ChooseFile(HWND owner, const std::string& title) {
  const std::wstring caption = Widen(title);
  // Room for a path longer than MAX_PATH.
  std::vector<wchar_t> path(32768, L'\0');
  OPENFILENAMEW info = {};
  info.lStructSize = sizeof info;
  info.hwndOwner = owner;
  info.lpstrFilter = L"All files (*.*)\0*.*\0";
  info.lpstrFile = path.data();
  info.nMaxFile = static_cast<DWORD>(path.size());
  info.lpstrTitle = caption.c_str();
  info.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_DONTADDTORECENT;
  if (!GetOpenFileNameW(&info)) return std::nullopt;
  return Narrow(path.data());
}

}  // namespace platform
