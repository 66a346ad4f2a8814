// Test helper: removing a test's own folder tree.
#pragma once

#include <windows.h>

#include <string>

namespace {

// Removes a folder and everything in it; attributes are cleared first so
// that read-only, hidden and system files go as well.
inline void RemoveTree(const std::wstring& folder) {
  // The extended form reaches names ending in dots or blanks as well.
  if (folder.size() > 2 && folder[1] == L':') return RemoveTree(L"\\\\?\\" + folder);
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
