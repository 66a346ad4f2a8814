#include "platform/files.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/disk_lister.h"
#include "platform/handles.h"
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
  file.reset(CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
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

ReadResult ReadFileEnd(const std::string& path, size_t count, std::string& bytes) {
  UniqueHandle file;
  const ReadResult opened = OpenForReading(path, file);
  if (opened != ReadResult::Ok) return opened;
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file.get(), &size)) return ReadResult::Failed;
  LARGE_INTEGER start = {};
  start.QuadPart = static_cast<uint64_t>(size.QuadPart) > count ? size.QuadPart - static_cast<LONGLONG>(count) : 0;
  if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) return ReadResult::Failed;
  std::string content;
  bool more = false;
  const ReadResult read = ReadUpTo(file.get(), count, content, more);
  if (read == ReadResult::Ok) bytes.swap(content);
  return read;
}

void CreateFolder(const std::string& path) { CreateDirectoryW(Widen(path).c_str(), nullptr); }

ContentCheck CheckFileHasContent(const std::string& path, std::string& error) {
  if (path.empty()) return ContentCheck::Absent;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (GetFileAttributesExW(ExtendedPath(path).c_str(), GetFileExInfoStandard, &data)) {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return ContentCheck::Absent;
    return data.nFileSizeHigh != 0 || data.nFileSizeLow != 0 ? ContentCheck::HasContent : ContentCheck::Absent;
  }
  const DWORD code = GetLastError();
  if (code == ERROR_FILE_NOT_FOUND) return ContentCheck::Absent;
  error = SystemErrorText(code);
  return ContentCheck::Failed;
}

bool PathExists(const std::string& path) {
  return GetFileAttributesW(ExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// "d:\folder\sub" with no "." or ".." part and no forward slash.
bool IsPlainDrivePath(const std::string& path) {
  if (path.size() < 3 || path[1] != ':' || path[2] != '\\' || path.find('/') != std::string::npos) return false;
  size_t start = 3;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string_view part(path.data() + start, end - start);
    if (part == "." || part == "..") return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

std::string FullPath(const std::string& path) {
  // The system's own completion trims the blanks and dots that end a name,
  // and would then lead to another folder, or none, in place of one so
  // named (a favourite hiding place): a full drive path stands as given.
  if (IsPlainDrivePath(path)) return path;
  const std::wstring wide = Widen(path);
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return Narrow(full);
}

namespace {

bool LongPathNameOf(const std::wstring& path, std::wstring& longPath) {
  const DWORD size = GetLongPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return false;
  longPath.assign(size, L'\0');
  const DWORD length = GetLongPathNameW(path.c_str(), &longPath[0], size);
  if (length == 0 || length >= size) return false;
  longPath.resize(length);
  return true;
}

}  // namespace

std::string LongPathOf(const std::string& path) {
  if (path.find('~') == std::string::npos) return path;
  // A file gone (or never there) still lies in folders that may exist:
  // the longest part that exists is made long, the rest kept as written.
  std::wstring head = Widen(path);
  std::wstring tail;
  for (;;) {
    std::wstring longHead;
    if (LongPathNameOf(head, longHead)) return Narrow(longHead + tail);
    const size_t slash = head.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash < 3) return path;
    tail = head.substr(slash) + tail;
    head.resize(slash);
  }
}

bool SameContent(const std::string& first, const std::string& second) {
  UniqueHandle a, b;
  if (OpenForReading(first, a) != ReadResult::Ok || OpenForReading(second, b) != ReadResult::Ok) return false;
  LARGE_INTEGER sizeA = {}, sizeB = {};
  if (!GetFileSizeEx(a.get(), &sizeA) || !GetFileSizeEx(b.get(), &sizeB) || sizeA.QuadPart != sizeB.QuadPart) {
    return false;
  }
  constexpr DWORD kPiece = 1024 * 1024;
  std::vector<char> pieceA(kPiece), pieceB(kPiece);
  for (;;) {
    DWORD gotA = 0, gotB = 0;
    if (!ReadFile(a.get(), pieceA.data(), kPiece, &gotA, nullptr) ||
        !ReadFile(b.get(), pieceB.data(), kPiece, &gotB, nullptr) || gotA != gotB) {
      return false;
    }
    if (gotA == 0) return true;
    if (memcmp(pieceA.data(), pieceB.data(), gotA) != 0) return false;
  }
}

bool SizeAndWriteTime(const std::string& path, uint64_t& size, uint64_t& writeTime) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(ExtendedPath(path).c_str(), GetFileExInfoStandard, &data)) return false;
  size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  writeTime = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  return true;
}

bool FlushToDisk(const std::string& path) {
  UniqueHandle file(CreateFileW(ExtendedPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && FlushFileBuffers(file.get());
}

bool AppendLine(const std::string& path, const std::string& line) {
  UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::string bytes = line;
  if (SetFilePointer(file.get(), -1, nullptr, FILE_END) != INVALID_SET_FILE_POINTER) {
    char last = 0;
    DWORD got = 0;
    if (ReadFile(file.get(), &last, 1, &got, nullptr) && got == 1 && last != '\n') bytes.insert(0, "\n");
  }
  SetFilePointer(file.get(), 0, nullptr, FILE_END);
  DWORD written = 0;
  const bool ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  return FlushFileBuffers(file.get()) && ok;
}

CopyResult CopyWithoutOverwrite(const std::string& from, const std::string& to) {
  if (CopyFileW(ExtendedPath(from).c_str(), ExtendedPath(to).c_str(), TRUE)) return CopyResult::Copied;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? CopyResult::TargetExists : CopyResult::Failed;
}

void CreateFoldersFor(const std::string& file) {
  const size_t last = file.rfind('\\');
  if (last == std::string::npos) return;
  // From the first folder below the root on; existing ones are left alone.
  for (size_t slash = file.find('\\', 3); slash != std::string::npos && slash <= last;
       slash = file.find('\\', slash + 1)) {
    CreateDirectoryW(ExtendedPath(file.substr(0, slash)).c_str(), nullptr);
  }
}

namespace {

// A copy keeps the read-only mark of what it copies (files quarantined by
// early releases kept theirs), and a read-only file cannot be opened for
// writing, which flushing needs.
bool FlushEvenIfReadOnly(const std::string& path) {
  const std::wstring file = ExtendedPath(path);
  const DWORD attributes = GetFileAttributesW(file.c_str());
  const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
  if (readOnly) SetFileAttributesW(file.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  const bool flushed = FlushToDisk(path);
  if (readOnly) SetFileAttributesW(file.c_str(), attributes);
  return flushed;
}

}  // namespace

MoveResult MoveWithoutReplacing(const std::string& from, const std::string& to) {
  CopyResult copied = CopyWithoutOverwrite(from, to);
  if (copied == CopyResult::Failed && GetLastError() == ERROR_PATH_NOT_FOUND) {
    CreateFoldersFor(to);
    copied = CopyWithoutOverwrite(from, to);
  }
  if (copied == CopyResult::TargetExists) return MoveResult::TargetTaken;
  if (copied == CopyResult::Failed) return MoveResult::Failed;
  // The copy may still be only in the system's cache: were `from` deleted
  // first, a power cut could leave neither.
  if (!FlushEvenIfReadOnly(to)) {
    DeleteEvenIfReadOnly(to);
    return MoveResult::Failed;
  }
  if (DeleteEvenIfReadOnly(from)) return MoveResult::Moved;
  DeleteEvenIfReadOnly(to);
  return MoveResult::Failed;
}

PathKind KindOfPath(const std::string& path) {
  UniqueHandle handle(CreateFileW(ExtendedPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return PathKind::Missing;
    // Its folder is gone too, unless the whole drive is: a stick pulled out
    // since the scan has not taken the file with it.
    if (error == ERROR_PATH_NOT_FOUND && path.size() >= 3 && path[1] == ':') {
      return PathExists(path.substr(0, 3)) ? PathKind::Missing : PathKind::Unknown;
    }
    return error == ERROR_PATH_NOT_FOUND ? PathKind::Missing : PathKind::Unknown;
  }
  if (GetFileType(handle.get()) != FILE_TYPE_DISK) return PathKind::Other;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle.get(), &info)) return PathKind::Unknown;
  const DWORD notPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
  return (info.dwFileAttributes & notPlain) == 0 ? PathKind::PlainFile : PathKind::Other;
}

MoveResult RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (MoveFileExW(ExtendedPath(from).c_str(), ExtendedPath(to).c_str(), MOVEFILE_WRITE_THROUGH)) {
    return MoveResult::Moved;
  }
  const DWORD error = GetLastError();
  return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? MoveResult::TargetTaken : MoveResult::Failed;
}

namespace {
constexpr DWORD kMarks = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
}  // namespace

uint32_t ClearMarks(const std::string& path) {
  const std::wstring file = ExtendedPath(path);
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & kMarks)) return 0;
  SetFileAttributesW(file.c_str(), attributes & ~kMarks);
  return attributes & kMarks;
}

bool AddMarks(const std::string& path, uint32_t marks) {
  const std::wstring file = ExtendedPath(path);
  const DWORD attributes = GetFileAttributesW(file.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && SetFileAttributesW(file.c_str(), (attributes & ~FILE_ATTRIBUTE_NORMAL) | (marks & kMarks));
}

bool DeleteEvenIfReadOnly(const std::string& path) {
  // As the removal writes it: a name ending in a dot or blank must not be
  // trimmed into the name of another file.
  const std::wstring file = ExtendedPath(path);
  if (DeleteFileW(file.c_str())) return true;
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return false;
  SetFileAttributesW(file.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (DeleteFileW(file.c_str())) return true;
  SetFileAttributesW(file.c_str(), attributes);
  return false;
}

bool DeleteIfNotInUse(const std::string& path) {
  const std::wstring file = ExtendedPath(path);
  // Without sharing, the handle is the file's only one: it goes as it closes.
  const auto deleteAlone = [&file] {
    UniqueHandle handle(CreateFileW(file.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE,
                                    nullptr));
    return static_cast<bool>(handle);
  };
  if (deleteAlone()) return true;
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return false;
  SetFileAttributesW(file.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (deleteAlone()) return true;
  SetFileAttributesW(file.c_str(), attributes);
  return false;
}

}  // namespace platform
