#include "platform/disk_lister.h"

#include <windows.h>

#include "platform/handles.h"
#include "platform/text.h"

namespace platform {

std::wstring ExtendedPath(const std::string& path) {
  std::wstring wide = Widen(path);
  // Only full drive paths can take the prefix; it also switches off the
  // removal of trailing dots and blanks, which such paths never need here.
  if (wide.size() >= MAX_PATH - 12 && wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\') {
    return L"\\\\?\\" + wide;
  }
  return wide;
}

bool DiskLister::List(const std::string& folder, std::vector<std::string>& files,
                      std::vector<std::string>& subfolders) {
  std::string pattern = folder;
  if (pattern.back() != '\\') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW data;
  UniqueFind find(FindFirstFileW(ExtendedPath(pattern).c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE) return false;
  do {
    const wchar_t* name = data.cFileName;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'))) continue;
      subfolders.push_back(Narrow(name));
    } else if ((data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0) {
      files.push_back(Narrow(name));
    }
  } while (FindNextFileW(find.get(), &data));
  return true;
}

bool DiskLister::Identify(const std::string& folder, scan::FolderId& id) {
  UniqueHandle handle(CreateFileW(ExtendedPath(folder).c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (handle.get() == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle.get(), &info)) return false;
  id.volume = info.dwVolumeSerialNumber;
  id.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

std::string FoldCase(std::string_view text) {
  std::wstring wide = Widen(text);
  if (!wide.empty()) CharLowerBuffW(&wide[0], static_cast<DWORD>(wide.size()));
  return Narrow(wide);
}

std::vector<std::string> LogicalDrives() {
  std::vector<std::string> drives;
  const DWORD mask = GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if (mask & (1u << letter)) drives.push_back(std::string(1, static_cast<char>('a' + letter)) + ":");
  }
  return drives;
}

}  // namespace platform
