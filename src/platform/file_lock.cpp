#include "platform/file_lock.h"

#include <windows.h>

#include "platform/disk_lister.h"

namespace platform {

FileLock::FileLock(const std::string& path, unsigned waitMs) {
  const std::wstring file = ExtendedPath(path);
  const DWORD start = GetTickCount();
  for (;;) {
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      handle_ = handle;
      state_ = State::Held;
      return;
    }
    if (GetLastError() != ERROR_SHARING_VIOLATION) return;
    if (GetTickCount() - start >= waitMs) {
      state_ = State::Busy;
      return;
    }
    Sleep(10);
  }
}

FileLock::~FileLock() {
  if (handle_ != nullptr) CloseHandle(handle_);
}

}  // namespace platform
