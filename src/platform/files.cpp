#include "platform/files.h"

#include <windows.h>

#include <vector>

#include "platform/disk_lister.h"
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

namespace {

ReadResult OpenForReading(const std::string& path, UniqueHandle& file) {
  file.reset(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (file.get() != INVALID_HANDLE_VALUE) return ReadResult::Ok;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadResult::NotFound : ReadResult::Failed;
}

// Reads until the end of the file or until `limit` bytes; `more` tells
// whether the file went on past the limit.
ReadResult ReadUpTo(HANDLE file, uint64_t limit, std::string& content, bool& more) {
  char chunk[64 * 1024];
  more = false;
  for (;;) {
    const uint64_t room = limit - content.size();
    // One byte past the limit tells whether the file goes on.
    const DWORD want = room >= sizeof chunk ? sizeof chunk : static_cast<DWORD>(room) + 1;
    DWORD got = 0;
    if (!ReadFile(file, chunk, want, &got, nullptr)) return ReadResult::Failed;
    if (got == 0) return ReadResult::Ok;
    if (got > room) {
      content.append(chunk, static_cast<size_t>(room));
      more = true;
      return ReadResult::Ok;
    }
    content.append(chunk, got);
  }
}

}  // namespace

ReadResult ReadFileBytes(const std::string& path, std::string& bytes, uint64_t maxBytes) {
  UniqueHandle file;
  const ReadResult opened = OpenForReading(path, file);
  if (opened != ReadResult::Ok) return opened;
  LARGE_INTEGER size = {};
  if (GetFileSizeEx(file.get(), &size) && static_cast<uint64_t>(size.QuadPart) > maxBytes) return ReadResult::TooLarge;
  std::string content;
  // Sized once: growing by doubling would hold the old and the new buffer
  // together, twice over for a large file.
  if (size.QuadPart > 0 && static_cast<uint64_t>(size.QuadPart) <= maxBytes && size.QuadPart < 0x7FFFFFFF) {
    content.reserve(static_cast<size_t>(size.QuadPart));
  }
  bool more = false;
  const ReadResult read = ReadUpTo(file.get(), maxBytes, content, more);
  if (read != ReadResult::Ok) return read;
  // The file grew while it was read.
  if (more) return ReadResult::TooLarge;
  bytes.swap(content);
  return ReadResult::Ok;
}

ReadResult ReadFileStart(const std::string& path, size_t count, std::string& bytes) {
  UniqueHandle file;
  const ReadResult opened = OpenForReading(path, file);
  if (opened != ReadResult::Ok) return opened;
  std::string content;
  bool more = false;
  const ReadResult read = ReadUpTo(file.get(), count, content, more);
  if (read == ReadResult::Ok) bytes.swap(content);
  return read;
}

void CreateFolder(const std::string& path) { CreateDirectoryW(Widen(path).c_str(), nullptr); }

bool DeleteFileForced(const std::string& path) {
  // As the removal writes it: a name ending in a dot or blank must not be
  // trimmed into the name of another file.
  const std::wstring file = ExtendedPath(path);
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
