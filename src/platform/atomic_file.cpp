#include "platform/atomic_file.h"

#include <windows.h>

#include "platform/disk_lister.h"
#include "platform/handles.h"
#include "platform/system_error.h"
#include "platform/text.h"

namespace platform {

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error) {
  const std::wstring target = ExtendedPath(path);
  const std::wstring temporary = target + L".part";
  {
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
      return false;
    }
  }
  if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = SystemErrorText(GetLastError());
    DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
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
