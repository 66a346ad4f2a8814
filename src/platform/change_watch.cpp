#include "platform/change_watch.h"

#include <winioctl.h>

#include <cstddef>
#include <string_view>

#include "platform/text.h"

namespace platform {

// One watched folder: its handle, the read in flight and its buffer.
struct ChangeWatch::Folder {
  std::string root;
  UniqueHandle handle;
  UniqueHandle done;  // signalled when the read in flight completes
  OVERLAPPED overlapped = {};
  std::vector<DWORD> buffer;  // DWORD-aligned, as the records require
  bool reading = false;

  bool StartRead() {
    overlapped = {};
    overlapped.hEvent = done.get();
    reading = ReadDirectoryChangesW(handle.get(), buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(DWORD)),
                                    TRUE, FILE_NOTIFY_CHANGE_FILE_NAME, nullptr, &overlapped, nullptr) != FALSE;
    return reading;
  }
};

namespace {

ChangeAction ActionOf(DWORD action) {
  switch (action) {
    case FILE_ACTION_ADDED:
      return ChangeAction::Added;
    case FILE_ACTION_REMOVED:
      return ChangeAction::Removed;
    case FILE_ACTION_RENAMED_OLD_NAME:
      return ChangeAction::RenamedOld;
    case FILE_ACTION_RENAMED_NEW_NAME:
      return ChangeAction::RenamedNew;
    default:
      return ChangeAction::Modified;
  }
}

}  // namespace

ChangeWatch::ChangeWatch(const std::vector<std::string>& roots, OnChange onChange, OnMissed onMissed,
                         size_t bufferBytes)
    : onChange_(std::move(onChange)),
      onMissed_(std::move(onMissed)),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      started_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  if (!stop_ || !started_) return;
  for (const std::string& root : roots) {
    // The stop event and one event a folder must fit in one wait; there are
    // never more than 26 drives.
    if (folders_.size() + 1 >= MAXIMUM_WAIT_OBJECTS) break;
    auto folder = std::make_unique<Folder>();
    folder->root = root;
    folder->buffer.resize((bufferBytes + sizeof(DWORD) - 1) / sizeof(DWORD));
    folder->handle.reset(CreateFileW(Widen(root).c_str(), FILE_LIST_DIRECTORY,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    folder->done.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!folder->handle || !folder->done) continue;
    watched_.push_back(root);
    folders_.push_back(std::move(folder));
  }
  if (folders_.empty()) return;
  thread_ = std::make_unique<WorkerThread>([this] { Run(); });
  if (!thread_->Started()) {
    thread_.reset();
    return;
  }
  // Changes count from the moment the constructor returns.
  const HANDLE waits[] = {started_.get(), thread_->handle()};
  WaitForMultipleObjects(2, waits, FALSE, INFINITE);
}

ChangeWatch::~ChangeWatch() {
  if (!thread_) return;
  SetEvent(stop_.get());
  WaitForSingleObject(thread_->handle(), INFINITE);
}

void ChangeWatch::Run() {
  // The reads are started here: a thread's reads are cancelled by that thread.
  for (auto& folder : folders_) folder->StartRead();
  SetEvent(started_.get());
  for (;;) {
    std::vector<HANDLE> waits = {stop_.get()};
    std::vector<Folder*> waiting;
    for (auto& folder : folders_) {
      if (!folder->reading) continue;
      waits.push_back(folder->done.get());
      waiting.push_back(folder.get());
    }
    if (waiting.empty()) break;
    const DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, INFINITE);
    if (woken == WAIT_OBJECT_0 || woken >= WAIT_OBJECT_0 + waits.size()) break;
    Folder& folder = *waiting[woken - WAIT_OBJECT_0 - 1];
    DWORD bytes = 0;
    const bool read = GetOverlappedResult(folder.handle.get(), &folder.overlapped, &bytes, FALSE) != FALSE;
    const DWORD error = read ? ERROR_SUCCESS : GetLastError();
    folder.reading = false;
    if (!read && error != ERROR_NOTIFY_ENUM_DIR) {
      // The drive was taken away, or its volume locked for a check: that
      // folder's watch ends. Nothing was missed that a scan now could find.
      continue;
    }
    if (!read || bytes == 0) {
      // The buffer overflowed (no records, or the error that says so): the
      // changes since the last read are lost.
      if (onMissed_) onMissed_(folder.root);
    } else {
      const auto* base = reinterpret_cast<const BYTE*>(folder.buffer.data());
      for (DWORD offset = 0;;) {
        const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(base + offset);
        const std::wstring_view name(record->FileName, record->FileNameLength / sizeof(WCHAR));
        if (onChange_) onChange_(folder.root, Narrow(name), ActionOf(record->Action));
        if (record->NextEntryOffset == 0 || offset + record->NextEntryOffset >= bytes) break;
        offset += record->NextEntryOffset;
      }
    }
    if (WaitForSingleObject(stop_.get(), 0) == WAIT_OBJECT_0) break;
    ResetEvent(folder.done.get());
    folder.StartRead();
  }
  // Every read still in flight is cancelled and waited for, so that no read
  // writes into a buffer after it is freed.
  for (auto& folder : folders_) {
    if (!folder->reading) continue;
    CancelIo(folder->handle.get());
    DWORD bytes = 0;
    GetOverlappedResult(folder->handle.get(), &folder->overlapped, &bytes, TRUE);
    folder->reading = false;
  }
}

namespace {

// A disk on USB or FireWire calls itself fixed, yet is unplugged at will: a
// watch holds its root open, and Windows would refuse to let it go safely.
bool OnHotPluggableBus(char letter) {
  const std::wstring volumePath = L"\\\\.\\" + std::wstring(1, static_cast<wchar_t>(letter)) + L":";
  const UniqueHandle volume(
      CreateFileW(volumePath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!volume) return false;
  STORAGE_PROPERTY_QUERY query = {};
  query.PropertyId = StorageDeviceProperty;
  query.QueryType = PropertyStandardQuery;
  STORAGE_DEVICE_DESCRIPTOR device = {};
  DWORD bytes = 0;
  if (!DeviceIoControl(volume.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &device, sizeof device,
                       &bytes, nullptr) ||
      bytes < offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) + sizeof device.BusType) {
    return false;
  }
  return device.BusType == BusTypeUsb || device.BusType == BusType1394;
}

// The folder a drive letter made by SUBST stands for ("C:\Tools"); empty
// for a drive of its own.
std::wstring AliasedFolder(wchar_t letter) {
  const wchar_t drive[] = {letter, L':', L'\0'};
  wchar_t target[MAX_PATH + 8] = {};
  if (QueryDosDeviceW(drive, target, MAX_PATH + 8) == 0) return std::wstring();
  const std::wstring device(target);
  constexpr std::wstring_view kAliasPrefix = L"\\??\\";
  if (device.size() <= kAliasPrefix.size() || device.compare(0, kAliasPrefix.size(), kAliasPrefix) != 0) {
    return std::wstring();
  }
  std::wstring folder = device.substr(kAliasPrefix.size());
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder;
}

}  // namespace

std::string WithoutDriveAlias(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return path;
  const std::wstring folder = AliasedFolder(static_cast<wchar_t>(path[0]));
  return folder.empty() ? path : Narrow(folder) + path.substr(2);
}

std::vector<std::string> FixedDriveRoots() {
  std::vector<std::string> roots;
  const DWORD drives = GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if ((drives & (1u << letter)) == 0) continue;
    const std::string root = std::string(1, static_cast<char>('A' + letter)) + ":\\";
    // A SUBST letter is a second name for a folder already watched.
    if (GetDriveTypeW(Widen(root).c_str()) == DRIVE_FIXED && !OnHotPluggableBus(root[0]) &&
        AliasedFolder(static_cast<wchar_t>(root[0])).empty()) {
      roots.push_back(root);
    }
  }
  return roots;
}

}  // namespace platform
