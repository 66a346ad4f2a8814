#include "platform/change_watch.h"

#include <winioctl.h>

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "platform/text.h"

namespace platform {

namespace {

constexpr DWORD kFirstRetryMs = 1000;
constexpr DWORD kLongestRetryMs = 5 * 60 * 1000;
// While changes stream in, the next read waits this long, so that each
// brings many of them: under Wine every read is a round trip to its
// server, and one read a change cost more than a walk of the drive.
constexpr DWORD kStreamPauseMs = 20;

}  // namespace

// One watched folder: its handle, the read in flight and its buffer.
struct ChangeWatch::Folder {
  std::string root;
  UniqueHandle handle;
  UniqueHandle done;  // signalled when the read in flight completes
  OVERLAPPED overlapped = {};
  std::vector<DWORD> buffer;  // DWORD-aligned, as the records require
  bool folders = false;       // watches the names of folders rather than of files
  bool reading = false;
  DWORD lastCompleted = 0;  // tick count of the last read that completed
  // While the watch is down: when it is tried again, and the wait after that.
  bool down = false;
  DWORD retryAt = 0;
  DWORD retryMs = kFirstRetryMs;

  bool Open() {
    handle.reset(CreateFileW(Widen(root).c_str(), FILE_LIST_DIRECTORY,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    return static_cast<bool>(handle);
  }
  bool StartRead() {
    ResetEvent(done.get());
    overlapped = {};
    overlapped.hEvent = done.get();
    reading = ReadDirectoryChangesW(handle.get(), buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(DWORD)),
                                    TRUE, folders ? FILE_NOTIFY_CHANGE_DIR_NAME : FILE_NOTIFY_CHANGE_FILE_NAME,
                                    nullptr, &overlapped, nullptr) != FALSE;
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

ChangeWatch::ChangeWatch(const std::vector<std::string>& roots, OnChange onChange, OnWatchEvent onEvent,
                         size_t bufferBytes)
    : onChange_(std::move(onChange)),
      onEvent_(std::move(onEvent)),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      started_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  if (!stop_ || !started_) return;
  for (const std::string& root : roots) {
    // The stop event and two events a folder must fit in one wait; there
    // are never more than 26 drives.
    if (folders_.size() + 2 >= MAXIMUM_WAIT_OBJECTS) break;
    std::unique_ptr<Folder> reads[2];
    for (int kind = 0; kind < 2; ++kind) {
      auto& folder = reads[kind];
      folder = std::make_unique<Folder>();
      folder->root = root;
      folder->folders = kind == 1;
      folder->buffer.resize((bufferBytes + sizeof(DWORD) - 1) / sizeof(DWORD));
      folder->done.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    }
    if (!reads[0]->Open() || !reads[0]->done || !reads[1]->Open() || !reads[1]->done) continue;
    watched_.push_back(root);
    for (auto& folder : reads) folders_.push_back(std::move(folder));
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

void ChangeWatch::Report(const Folder& folder, WatchEvent event, unsigned retrySeconds) {
  if (onEvent_) onEvent_(folder.root, event, retrySeconds);
}

void ChangeWatch::Run() {
  // The reads are started here: a thread's reads are cancelled by that thread.
  for (auto& folder : folders_) {
    if (!folder->StartRead()) {
      folder->handle.reset();
      folder->down = true;
      folder->retryAt = GetTickCount();
    }
  }
  SetEvent(started_.get());
  for (;;) {
    std::vector<HANDLE> waits = {stop_.get()};
    std::vector<Folder*> waiting;
    for (auto& folder : folders_) {
      if (!folder->reading) continue;
      waits.push_back(folder->done.get());
      waiting.push_back(folder.get());
    }
    const DWORD woken =
        WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, NextRestartWait());
    if (woken == WAIT_TIMEOUT) {
      RestartDue();
      continue;
    }
    if (woken == WAIT_OBJECT_0 || woken >= WAIT_OBJECT_0 + waits.size()) break;
    Folder& folder = *waiting[woken - WAIT_OBJECT_0 - 1];
    folder.reading = false;
    Completed(folder);
    const DWORD now = GetTickCount();
    const bool streaming = now - folder.lastCompleted < kStreamPauseMs;
    folder.lastCompleted = now;
    if (WaitForSingleObject(stop_.get(), streaming ? kStreamPauseMs : 0) == WAIT_OBJECT_0) break;
    if (!folder.down && !folder.StartRead()) {
      folder.handle.reset();
      folder.down = true;
      folder.retryAt = GetTickCount();
      Report(folder, WatchEvent::Ended);
    }
    RestartDue();
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

void ChangeWatch::Completed(Folder& folder) {
  DWORD bytes = 0;
  bool read = GetOverlappedResult(folder.handle.get(), &folder.overlapped, &bytes, FALSE) != FALSE;
  DWORD error = read ? ERROR_SUCCESS : GetLastError();
  if (const DWORD injected = injectedError_.exchange(0)) {
    read = false;
    error = injected;
  }
  if (!read && error != ERROR_NOTIFY_ENUM_DIR) {
    // The drive was taken away, its volume locked for a check, or the system
    // refused the read: changes go unseen until the watch runs again.
    folder.handle.reset();
    folder.down = true;
    folder.retryAt = GetTickCount();
    Report(folder, WatchEvent::Ended);
    return;
  }
  if (!read || bytes == 0) {
    // The buffer overflowed (no records, or the error that says so): the
    // changes since the last read are lost.
    Report(folder, WatchEvent::Overflowed);
    return;
  }
  const auto* base = reinterpret_cast<const BYTE*>(folder.buffer.data());
  for (DWORD offset = 0;;) {
    const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(base + offset);
    const std::wstring_view name(record->FileName, record->FileNameLength / sizeof(WCHAR));
    if (onChange_) onChange_(folder.root, Narrow(name), ActionOf(record->Action), folder.folders);
    if (record->NextEntryOffset == 0 || offset + record->NextEntryOffset >= bytes) break;
    offset += record->NextEntryOffset;
  }
}

DWORD ChangeWatch::NextRestartWait() const {
  DWORD wait = INFINITE;
  const DWORD now = GetTickCount();
  for (const auto& folder : folders_) {
    if (!folder->down) continue;
    // Differences of tick counts stay right across their wrap after 49 days.
    const auto due = static_cast<LONG>(folder->retryAt - now);
    wait = std::min(wait, due <= 0 ? 0 : static_cast<DWORD>(due));
  }
  return wait;
}

void ChangeWatch::RestartDue() {
  const DWORD now = GetTickCount();
  for (auto& folder : folders_) {
    if (!folder->down || static_cast<LONG>(folder->retryAt - now) > 0) continue;
    if (folder->Open() && folder->StartRead()) {
      folder->down = false;
      folder->retryMs = kFirstRetryMs;
      Report(*folder, WatchEvent::Restarted);
      continue;
    }
    folder->handle.reset();
    folder->retryAt = now + folder->retryMs;
    Report(*folder, WatchEvent::RestartFailed, (folder->retryMs + 999) / 1000);
    folder->retryMs = std::min(folder->retryMs * 2, kLongestRetryMs);
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
