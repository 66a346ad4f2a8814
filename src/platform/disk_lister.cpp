#include "platform/disk_lister.h"

#include <windows.h>

#include <cstring>

#include "platform/handles.h"
#include "platform/system.h"
#include "platform/system_function.h"
#include "platform/text.h"

namespace platform {
namespace {

// The native directory query lists a folder through a handle that also
// yields the folder's identity, so each folder's path is resolved once; the
// documented find functions would need a second open for the identity,
// which doubles the cost of a scan.
struct IoStatusBlock {
  union {
    LONG Status;
    PVOID Pointer;
  };
  ULONG_PTR Information;
};

// FILE_ID_BOTH_DIR_INFORMATION: the listing also carries each entry's file
// index, so subfolders need no open of their own to be identified.
struct FileIdBothDirInformation {
  ULONG NextEntryOffset;
  ULONG FileIndex;
  LARGE_INTEGER CreationTime;
  LARGE_INTEGER LastAccessTime;
  LARGE_INTEGER LastWriteTime;
  LARGE_INTEGER ChangeTime;
  LARGE_INTEGER EndOfFile;
  LARGE_INTEGER AllocationSize;
  ULONG FileAttributes;
  ULONG FileNameLength;
  ULONG EaSize;
  CCHAR ShortNameLength;
  WCHAR ShortName[12];
  LARGE_INTEGER FileId;
  WCHAR FileName[1];
};

using NtQueryDirectoryFileFn = LONG(WINAPI*)(HANDLE, HANDLE, PVOID, PVOID, IoStatusBlock*, PVOID, ULONG, int, BOOLEAN,
                                            PVOID, BOOLEAN);
using NtQueryInformationFileFn = LONG(WINAPI*)(HANDLE, IoStatusBlock*, PVOID, ULONG, int);
using NtQueryVolumeInformationFileFn = LONG(WINAPI*)(HANDLE, IoStatusBlock*, PVOID, ULONG, int);
using NtQueryObjectFn = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, ULONG*);
constexpr int kFileIdBothDirectoryInformation = 37;
constexpr int kFileInternalInformation = 6;
constexpr int kFileFsVolumeInformation = 1;
constexpr int kObjectNameInformation = 1;
constexpr LONG kStatusNoMoreFiles = static_cast<LONG>(0x80000006);

struct NativeFileFunctions {
  NtQueryDirectoryFileFn queryDirectory = nullptr;
  NtQueryInformationFileFn queryInformation = nullptr;
  NtQueryVolumeInformationFileFn queryVolume = nullptr;
  NtQueryObjectFn queryObject = nullptr;
};

template <typename Fn>
Fn NtdllFunction(const char* name) {
  return SystemFunction<Fn>(L"ntdll.dll", name);
}

// Absent on the 95/98 family, where the find functions do the listing.
const NativeFileFunctions& Native() {
  static const NativeFileFunctions functions = [] {
    NativeFileFunctions f;
    f.queryDirectory = NtdllFunction<NtQueryDirectoryFileFn>("NtQueryDirectoryFile");
    f.queryInformation = NtdllFunction<NtQueryInformationFileFn>("NtQueryInformationFile");
    f.queryVolume = NtdllFunction<NtQueryVolumeInformationFileFn>("NtQueryVolumeInformationFile");
    f.queryObject = NtdllFunction<NtQueryObjectFn>("NtQueryObject");
    return f;
  }();
  return functions;
}

// The full object name of an open folder, which begins with the name of
// the device it lies on; empty when the system gives none.
std::string ObjectName(HANDLE handle) {
  const NtQueryObjectFn queryObject = Native().queryObject;
  if (queryObject == nullptr) return {};
  // OBJECT_NAME_INFORMATION: a counted string whose text follows it.
  struct CountedText {
    USHORT Length;
    USHORT MaximumLength;
    PWSTR Buffer;
  };
  std::vector<ULONGLONG> buffer(1024 / sizeof(ULONGLONG));
  ULONG needed = 0;
  LONG result = queryObject(handle, kObjectNameInformation, buffer.data(),
                            static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG)), &needed);
  if (result < 0 && needed > buffer.size() * sizeof(ULONGLONG)) {
    buffer.resize(needed / sizeof(ULONGLONG) + 1);
    result = queryObject(handle, kObjectNameInformation, buffer.data(),
                         static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG)), &needed);
  }
  if (result < 0) return {};
  const auto* name = reinterpret_cast<const CountedText*>(buffer.data());
  if (name->Buffer == nullptr) return {};
  return Narrow(std::wstring_view(name->Buffer, name->Length / sizeof(WCHAR)));
}

// The volume serial number and file index of an open folder, asked for one
// at a time: the all-in-one file information also works out the folder's
// full name, which costs far more than the listing itself.
bool IdentifyHandle(HANDLE handle, OpenedFolder& opened) {
  const NativeFileFunctions& native = Native();
  if (native.queryInformation != nullptr && native.queryVolume != nullptr) {
    IoStatusBlock status = {};
    LARGE_INTEGER index = {};
    if (native.queryInformation(handle, &status, &index, sizeof index, kFileInternalInformation) < 0) return false;
    // FILE_FS_VOLUME_INFORMATION: creation time, serial number, label.
    ULONGLONG volume[(sizeof(LARGE_INTEGER) + 4 * sizeof(ULONG) + 64 * sizeof(WCHAR)) / sizeof(ULONGLONG) + 1] = {};
    const LONG result = native.queryVolume(handle, &status, volume, sizeof volume, kFileFsVolumeInformation);
    // A buffer too small for a long label still carries the serial number.
    if (result < 0 && result != static_cast<LONG>(0x80000005)) return false;
    std::memcpy(&opened.serial, reinterpret_cast<const unsigned char*>(volume) + sizeof(LARGE_INTEGER),
                sizeof opened.serial);
    opened.index = static_cast<uint64_t>(index.QuadPart);
    opened.objectName = ObjectName(handle);
    return true;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return false;
  opened.serial = info.dwVolumeSerialNumber;
  opened.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  opened.objectName.clear();
  return true;
}

bool IsDotEntry(std::wstring_view name) { return name == L"." || name == L".."; }

// Hidden and system files are examined too: spyware often marks its own
// files so to keep out of sight.
bool IsPlainFile(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0; }

bool OpenAndIdentify(const std::string& folder, OpenedFolder& opened) {
  UniqueHandle handle(CreateFileW(ExtendedPath(folder).c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return handle.get() != INVALID_HANDLE_VALUE && IdentifyHandle(handle.get(), opened);
}

// Identifies the folder behind a link or junction by opening it: the index
// in the listing is the link's own, and its target may lie on another volume.
void IdentifyLinked(const std::string& folder, ListedFolder& subfolder) {
  subfolder.linked = true;
  subfolder.identified = OpenAndIdentify(folder + "\\" + subfolder.name, subfolder.opened);
}

using Yield = std::function<bool()>;

// Entries read between two calls of the yield function by the find functions.
constexpr int kEntriesPerPart = 512;

bool ListWithFindFunctions(const std::string& folder, std::vector<std::string>& files,
                           std::vector<ListedFolder>& subfolders, const Yield& yield) {
  std::string pattern = folder;
  if (pattern.back() != '\\') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW data;
  UniqueFind find(FindFirstFileW(ExtendedPath(pattern).c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE) return false;
  int entries = 0;
  do {
    if (++entries % kEntriesPerPart == 0 && yield && yield()) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (!IsDotEntry(data.cFileName)) subfolders.push_back({Narrow(data.cFileName), {}, false, false, {}});
    } else if (IsPlainFile(data.dwFileAttributes)) {
      files.push_back(Narrow(data.cFileName));
    }
  } while (FindNextFileW(find.get(), &data));
  return true;
}

enum class HandleListing { Listed, Refused, Stopped };

HandleListing ListWithHandle(HANDLE directory, const std::string& folder, const FolderIdentity* self,
                             std::vector<std::string>& files, std::vector<ListedFolder>& subfolders,
                             const Yield& yield) {
  // Kept between calls: a scan lists thousands of folders, on a thread of its own.
  thread_local std::vector<ULONGLONG> buffer(64 * 1024 / sizeof(ULONGLONG));
  bool first = true;
  for (;;) {
    IoStatusBlock status = {};
    const LONG result =
        Native().queryDirectory(directory, nullptr, nullptr, nullptr, &status, buffer.data(),
                                static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG)), kFileIdBothDirectoryInformation,
                                FALSE, nullptr, first ? TRUE : FALSE);
    first = false;
    if (result == kStatusNoMoreFiles) return HandleListing::Listed;
    if (result < 0) return HandleListing::Refused;
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
    for (;;) {
      const auto* entry = reinterpret_cast<const FileIdBothDirInformation*>(bytes);
      const std::wstring_view name(entry->FileName, entry->FileNameLength / sizeof(WCHAR));
      if (entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (!IsDotEntry(name)) {
          ListedFolder subfolder{Narrow(name), {}, false, false, {}};
          if (entry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            IdentifyLinked(folder, subfolder);
          } else if (self != nullptr && entry->FileId.QuadPart != 0) {
            subfolder.id = {self->volume, static_cast<uint64_t>(entry->FileId.QuadPart)};
            subfolder.identified = true;
          }
          subfolders.push_back(std::move(subfolder));
        }
      } else if (IsPlainFile(entry->FileAttributes)) {
        files.push_back(Narrow(name));
      }
      if (entry->NextEntryOffset == 0) break;
      bytes += entry->NextEntryOffset;
    }
    // A folder of tens of thousands of files takes many parts; the window
    // must not wait for all of them.
    if (yield && yield()) return HandleListing::Stopped;
  }
}

// On 64-bit Windows the system sends a 32-bit program's every use of its
// system folder to the folder of 32-bit system files instead: a scan would
// list those twice and never the machine's own system files, and a file
// found there would be acted on in the other folder. "Sysnative" names the
// real one to a 32-bit program (from Vista on); where it is there, paths
// into the system folder are led through it.
struct SystemFolderAlias {
  std::wstring system;  // "\\?\C:\Windows\System32"
  std::wstring native;  // "\\?\C:\Windows\Sysnative"
};

const SystemFolderAlias& NativeSystemFolder() {
  static const SystemFolderAlias alias = [] {
    SystemFolderAlias found;
    // Asked of the system folder, not the Windows folder, which on a
    // terminal server is one of the user's own.
    const std::wstring system = Widen(SystemDirectory());
    const size_t slash = system.find_last_of(L'\\');
    if (slash == std::wstring::npos || !RunsOn64BitWindows()) return found;
    const std::wstring native = L"\\\\?\\" + system.substr(0, slash) + L"\\Sysnative";
    const DWORD attributes = GetFileAttributesW(native.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return found;
    found.system = L"\\\\?\\" + system;
    found.native = native;
    return found;
  }();
  return alias;
}

void LeadPastRedirection(std::wstring& extended) {
  const SystemFolderAlias& alias = NativeSystemFolder();
  const size_t length = alias.system.size();
  if (length == 0 || extended.size() < length) return;
  if (extended.size() > length && extended[length] != L'\\') return;
  if (_wcsnicmp(extended.c_str(), alias.system.c_str(), length) != 0) return;
  extended.replace(0, length, alias.native);
}

}  // namespace

std::wstring ExtendedPath(const std::string& path) {
  std::wstring wide = Widen(path);
  // Full drive paths take the prefix, which lifts the 260-character limit and
  // keeps names ending in blanks or dots as they are (a favourite hiding
  // place); the paths built here never hold "." or ".." components.
  if (wide.size() < 3 || wide[1] != L':' || wide[2] != L'\\') return wide;
  // The prefix also switches off the folding of doubled separators, which a
  // file in a drive root brings along from its detection line ("d:\\x.exe").
  std::wstring extended;
  extended.reserve(wide.size() + 4);
  extended = L"\\\\?\\";
  for (wchar_t c : wide) {
    if (c == L'\\' && !extended.empty() && extended.back() == L'\\' && extended.size() > 4) continue;
    extended.push_back(c);
  }
  LeadPastRedirection(extended);
  return extended;
}

bool ListFolder(const std::string& folder, const FolderIdentity* self, std::vector<std::string>& files,
                std::vector<ListedFolder>& subfolders, const std::function<bool()>& yield) {
  if (Native().queryDirectory == nullptr) return ListWithFindFunctions(folder, files, subfolders, yield);
  UniqueHandle directory(CreateFileW(ExtendedPath(folder).c_str(), FILE_LIST_DIRECTORY,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (directory.get() == INVALID_HANDLE_VALUE) return false;
  switch (ListWithHandle(directory.get(), folder, self, files, subfolders, yield)) {
    case HandleListing::Listed:
      return true;
    case HandleListing::Stopped:
      return false;
    case HandleListing::Refused:
      break;
  }
  // Some network and third-party file systems do not answer this query;
  // the find functions list them all the same, only without identities.
  files.clear();
  subfolders.clear();
  return ListWithFindFunctions(folder, files, subfolders, yield);
}

bool OpenFolder(const std::string& folder, OpenedFolder& opened) { return OpenAndIdentify(folder, opened); }

std::string LowerCaseText(std::string_view text) {
  std::wstring wide = Widen(text);
  if (!wide.empty()) CharLowerBuffW(&wide[0], static_cast<DWORD>(wide.size()));
  return Narrow(wide);
}

std::vector<std::string> LogicalDrives() {
  std::vector<std::string> drives;
  const DWORD mask = GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if (mask & (1u << letter)) drives.push_back(std::string(1, static_cast<char>('a' + letter)) + ":");
  }
  return drives;
}

bool IsFloppyDrive(const std::string& entry) {
  if (entry.size() < 2 || entry[1] != ':') return false;
  const char letter = static_cast<char>(entry[0] | 0x20);
  if (letter != 'a' && letter != 'b') return false;
  const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', L'\0'};
  return GetDriveTypeW(root) == DRIVE_REMOVABLE;
}

}  // namespace platform
