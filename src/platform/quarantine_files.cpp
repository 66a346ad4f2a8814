#include "platform/quarantine_files.h"

#include <windows.h>

#include "platform/disk_lister.h"
#include "platform/files.h"
#include "platform/handles.h"

namespace platform {
namespace {

// Enough for any real clash of names; a folder full of one name's numbered
// copies is refused rather than searched for ever.
constexpr int kMostNumberedCopies = 10000;

void ClearReadOnly(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
}

// Copies `file` to `target`, or to its first numbered name that is free.
// The copy itself refuses an existing name, so no name is looked up before
// (looking up a missing name reads the whole folder on some systems). The
// path written to is left in `written`; false when nothing was copied.
bool CopyToFreeName(const std::wstring& file, const std::string& target, std::string& written) {
  for (int number = 1; number <= kMostNumberedCopies; ++number) {
    const std::string candidate = removal::NumberedPath(target, number);
    if (CopyFileW(file.c_str(), ExtendedPath(candidate).c_str(), TRUE)) {
      written = candidate;
      return true;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

enum class FileKind { Plain, Other, Missing, Unknown };

// What is at the path now, the path's last component itself examined: a
// link is not followed, so a link put in place of a scanned file is seen as
// the link it is.
FileKind KindOf(const std::wstring& file) {
  UniqueHandle handle(CreateFileW(file.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (handle.get() == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileKind::Missing : FileKind::Unknown;
  }
  if (GetFileType(handle.get()) != FILE_TYPE_DISK) return FileKind::Other;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle.get(), &info)) return FileKind::Unknown;
  const DWORD notPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
  return (info.dwFileAttributes & notPlain) == 0 ? FileKind::Plain : FileKind::Other;
}

}  // namespace

RemovalResult QuarantineDetectedFile(const removal::RemovalPaths& paths, QuarantinedCopies* copies) {
  const std::wstring file = ExtendedPath(paths.filePath);
  switch (KindOf(file)) {
    case FileKind::Plain:
      break;
    case FileKind::Missing:
      return RemovalResult::AlreadyGone;
    case FileKind::Other:
    case FileKind::Unknown:
      return RemovalResult::Failed;
  }
  std::string quarantined;
  if (!CopyToFreeName(file, paths.quarantinePath, quarantined)) {
    // The folder may have been removed while the program ran.
    const std::string folder = paths.quarantinePath.substr(0, paths.quarantinePath.rfind('\\'));
    CreateFolder(folder);
    if (!CopyToFreeName(file, paths.quarantinePath, quarantined)) return RemovalResult::Failed;
  }
  // Copies keep the file's attributes; a read-only copy in quarantine could
  // not be purged later.
  ClearReadOnly(ExtendedPath(quarantined));
  // The copy beside the file is a convenience; the quarantine copy is what
  // makes the deletion safe.
  std::string sibling;
  CopyToFreeName(file, paths.siblingPath, sibling);
  if (copies != nullptr) *copies = {quarantined, sibling};
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
