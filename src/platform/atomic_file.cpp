#include "platform/atomic_file.h"

#include <windows.h>

#include "platform/disk_lister.h"
#include "platform/handles.h"
#include "platform/system_error.h"
#include "platform/text.h"

namespace platform {

namespace {

// Writes and flushes `bytes` into `temporary`; on failure nothing is left.
bool WriteTemporary(const std::wstring& temporary, const std::string& bytes, std::string& error) {
  UniqueHandle file(
      CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    error = SystemErrorText(GetLastError());
    return false;
  }
  DWORD written = 0;
  const bool ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size() && FlushFileBuffers(file.get());
  if (!ok) {
    error = SystemErrorText(GetLastError());
    file.reset();
    DeleteFileW(temporary.c_str());
  }
  return ok;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error) {
  const std::wstring target = ExtendedPath(path);
  const std::wstring temporary = target + L".part";
  if (!WriteTemporary(temporary, bytes, error)) return false;
  if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = SystemErrorText(GetLastError());
    DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

std::optional<std::string> WriteNewFileAtomically(const std::function<std::string(int)>& nameFor,
                                                  const std::string& bytes, std::string& error) {
  const std::wstring temporary = ExtendedPath(nameFor(1)) + L".part";
  if (!WriteTemporary(temporary, bytes, error)) return std::nullopt;
  // A refused move tells that the name is taken; asking first would read the
  // whole folder under Wine for every free name.
  constexpr int kMostNumbers = 100000;
  DWORD failure = ERROR_FILE_EXISTS;
  for (int number = 1; number <= kMostNumbers; ++number) {
    const std::string path = nameFor(number);
    if (MoveFileExW(temporary.c_str(), ExtendedPath(path).c_str(), MOVEFILE_WRITE_THROUGH)) return path;
    failure = GetLastError();
    if (failure != ERROR_ALREADY_EXISTS && failure != ERROR_FILE_EXISTS) break;
  }
  error = SystemErrorText(failure);
  DeleteFileW(temporary.c_str());
  return std::nullopt;
}

bool ReplaceFileWith(const std::string& target, const std::string& replacement, std::string& error) {
  const std::wstring from = Widen(replacement);
  {
    UniqueHandle file(CreateFileW(from.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file) FlushFileBuffers(file.get());
  }
  if (MoveFileExW(from.c_str(), Widen(target).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  error = SystemErrorText(GetLastError());
  return false;
}

}  // namespace platform
