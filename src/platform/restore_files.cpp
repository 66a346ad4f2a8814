#include "platform/restore_files.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/disk_lister.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/text.h"
#include "removal/quarantine_journal.h"
#include "removal/removal_text.h"

namespace platform {
namespace {

bool Exists(const std::string& path) {
  return GetFileAttributesW(ExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
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

class ComApartment {
 public:
  ComApartment() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComApartment() {
    if (initialized_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialized_;
};

}  // namespace

RestoreResult RestoreQuarantinedFile(const std::string& quarantined, const std::string& target) {
  const std::wstring from = ExtendedPath(quarantined);
  const std::wstring to = ExtendedPath(target);
  if (!CopyFileW(from.c_str(), to.c_str(), TRUE)) {
    DWORD error = GetLastError();
    if (error == ERROR_PATH_NOT_FOUND) {
      CreateFoldersFor(target);
      if (CopyFileW(from.c_str(), to.c_str(), TRUE))
        error = ERROR_SUCCESS;
      else
        error = GetLastError();
    }
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return RestoreResult::TargetTaken;
    if (error != ERROR_SUCCESS) return RestoreResult::Failed;
  }
  if (DeleteFileForced(quarantined)) return RestoreResult::Restored;
  DeleteFileForced(target);
  return RestoreResult::Failed;
}

std::string FreePathBeside(const std::string& path) {
  for (int number = 2;; ++number) {
    std::string candidate = removal::NumberedPath(path, number);
    if (!Exists(candidate)) return candidate;
  }
}

bool SameContent(const std::string& first, const std::string& second) {
  std::string a, b;
  return ReadFileBytes(first, a) == ReadResult::Ok && ReadFileBytes(second, b) == ReadResult::Ok && a == b;
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
  FlushFileBuffers(file.get());
  return ok;
}

bool IsFolder(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FullPath(const std::string& path) {
  const std::wstring wide = Widen(path);
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return Narrow(full);
}

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
  if (list == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Narrow(list[i]));
  LocalFree(list);
  return arguments;
}

std::optional<std::string> ChooseFolder(HWND owner, const std::string& prompt) {
  ComApartment apartment;
  const std::wstring title = Widen(prompt);
  wchar_t displayName[MAX_PATH] = {};
  BROWSEINFOW info = {};
  info.hwndOwner = owner;
  info.pszDisplayName = displayName;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
  if (chosen == nullptr) return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  const BOOL isPath = SHGetPathFromIDListW(chosen, path);
  CoTaskMemFree(chosen);
  if (!isPath) return std::nullopt;
  return Narrow(path);
}

}  // namespace platform
