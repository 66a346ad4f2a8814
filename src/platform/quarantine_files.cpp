#include "platform/quarantine_files.h"

#include <windows.h>

#include "platform/disk_lister.h"
#include "platform/files.h"

namespace platform {
namespace {

void ClearReadOnly(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
}

}  // namespace

RemovalResult QuarantineDetectedFile(const removal::RemovalPaths& paths) {
  const std::wstring file = ExtendedPath(paths.filePath);
  if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? RemovalResult::AlreadyGone
                                                                          : RemovalResult::Failed;
  }
  const std::wstring quarantined = ExtendedPath(paths.quarantinePath);
  // An earlier read-only copy of the same name is replaced like any other.
  // Looked at only once the copy is refused: asking after a name that does
  // not exist yet costs a read of the whole folder on some file systems.
  bool copied = CopyFileW(file.c_str(), quarantined.c_str(), FALSE) != FALSE;
  if (!copied) {
    ClearReadOnly(quarantined);
    copied = CopyFileW(file.c_str(), quarantined.c_str(), FALSE) != FALSE;
  }
  if (!copied) {
    // The folder may have been removed while the program ran.
    const std::string folder = paths.quarantinePath.substr(0, paths.quarantinePath.rfind('\\'));
    CreateFolder(folder);
    if (!CopyFileW(file.c_str(), quarantined.c_str(), FALSE)) return RemovalResult::Failed;
  }
  // The copy beside the file is a convenience; the quarantine copy is what
  // makes the deletion safe.
  // Copies keep the file's attributes; a read-only copy in quarantine could
  // not be purged later.
  ClearReadOnly(quarantined);
  const std::wstring sibling = ExtendedPath(paths.siblingPath);
  if (!CopyFileW(file.c_str(), sibling.c_str(), FALSE)) {
    ClearReadOnly(sibling);
    CopyFileW(file.c_str(), sibling.c_str(), FALSE);
  }
  if (DeleteFileW(file.c_str())) return RemovalResult::Removed;
  // Spyware often marks itself read-only; that alone must not protect it.
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetFileAttributesW(file.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (DeleteFileW(file.c_str())) return RemovalResult::Removed;
    SetFileAttributesW(file.c_str(), attributes);
  }
  return RemovalResult::Failed;
}

}  // namespace platform
