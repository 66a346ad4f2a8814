#include "platform/files.h"

#include <windows.h>

#include <vector>

#include "platform/handles.h"
#include "platform/message_box.h"
#include "platform/system_error.h"
#include "platform/text.h"

namespace platform {

std::string ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) return Narrow(std::wstring_view(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

std::string ApplicationFolder() {
  const std::string path = ModulePath();
  const size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string AppPath(const std::string& name) { return ApplicationFolder() + "\\" + name; }

ReadResult ReadFileBytes(const std::string& path, std::string& bytes) {
  UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadResult::NotFound
                                                                          : ReadResult::Failed;
  }
  std::string content;
  // Sized once: growing by doubling would hold the old and the new buffer
  // together, twice over for a large file.
  LARGE_INTEGER size = {};
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 && size.QuadPart < 0x7FFFFFFF) {
    content.reserve(static_cast<size_t>(size.QuadPart));
  }
  char chunk[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) return ReadResult::Failed;
    if (got == 0) break;
    content.append(chunk, got);
  }
  bytes.swap(content);
  return ReadResult::Ok;
}

void CreateFolder(const std::string& path) { CreateDirectoryW(Widen(path).c_str(), nullptr); }

bool DeleteFileForced(const std::string& path) {
  const std::wstring file = Widen(path);
  if (DeleteFileW(file.c_str())) return true;
  if (GetLastError() != ERROR_ACCESS_DENIED) return false;
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  return DeleteFileW(file.c_str()) != FALSE;
}

bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    return data.nFileSizeHigh != 0 || data.nFileSizeLow != 0;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND) return false;
  ShowMessage(nullptr, SystemErrorText(error), MB_OK);
  return false;
}

}  // namespace platform
