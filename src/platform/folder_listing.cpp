#include "platform/folder_listing.h"

#include <windows.h>

#include <algorithm>

#include "platform/disk_lister.h"
#include "platform/handles.h"
#include "platform/text.h"

namespace platform {

namespace {

std::vector<std::string> ListFilesWithout(const std::string& folder, DWORD skip) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  UniqueFind find(FindFirstFileW(ExtendedPath(folder + "\\*").c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE) return {};
  do {
    if ((data.dwFileAttributes & skip) == 0) names.emplace_back(data.cFileName);
  } while (FindNextFileW(find.get(), &data));
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
  });
  std::vector<std::string> result;
  result.reserve(names.size());
  for (const std::wstring& name : names) result.push_back(Narrow(name));
  return result;
}

}  // namespace

std::vector<std::string> ListPlainFiles(const std::string& folder) {
  return ListFilesWithout(folder, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
}

std::vector<std::string> ListEveryFile(const std::string& folder) {
  return ListFilesWithout(folder, FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace platform
