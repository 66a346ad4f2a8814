#include "platform/processes.h"

#include <windows.h>

#include <string>

#include "platform/handles.h"
#include "platform/system_function.h"
#include "platform/text.h"

namespace platform {
namespace {

// The process-status library is loaded when needed: linking it would keep
// the program from starting where it does not exist.
struct ProcessStatusLibrary {
  using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
  using EnumProcessModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
  using GetModuleFileNameExWFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);

  EnumProcessesFn enumProcesses = nullptr;
  EnumProcessModulesFn enumProcessModules = nullptr;
  GetModuleFileNameExWFn getModuleFileNameEx = nullptr;

  bool Usable() const { return enumProcesses && enumProcessModules && getModuleFileNameEx; }
};

const ProcessStatusLibrary& Psapi() {
  static const ProcessStatusLibrary library = [] {
    ProcessStatusLibrary psapi;
    // Loaded once for the life of the program.
    HMODULE module = LoadLibraryW(L"psapi.dll");
    if (module == nullptr) return psapi;
    using Library = ProcessStatusLibrary;
    psapi.enumProcesses = SystemFunction<Library::EnumProcessesFn>(module, "EnumProcesses");
    psapi.enumProcessModules = SystemFunction<Library::EnumProcessModulesFn>(module, "EnumProcessModules");
    psapi.getModuleFileNameEx = SystemFunction<Library::GetModuleFileNameExWFn>(module, "GetModuleFileNameExW");
    return psapi;
  }();
  return library;
}

// Names the executable of any process, 64-bit ones too, whose modules a
// 32-bit program cannot list; Vista and later only, so looked up.
using QueryFullProcessImageNameWFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
constexpr DWORD kQueryLimitedInformation = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION

QueryFullProcessImageNameWFn QueryFullProcessImageName() {
  static const QueryFullProcessImageNameWFn query =
      SystemFunction<QueryFullProcessImageNameWFn>(L"kernel32.dll", "QueryFullProcessImageNameW");
  return query;
}

// When the process began, in 100 ns ticks; 0 when the system will not say.
uint64_t StartOf(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// The process's executable: its first module, or else what the system
// names it; empty when neither can be read. `started` is set where the
// process could be opened.
std::wstring ExecutableOf(const ProcessStatusLibrary& psapi, DWORD id, uint64_t& started) {
  wchar_t path[MAX_PATH * 2];
  UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
  HMODULE modules[50];
  DWORD needed = 0;
  if (process && psapi.enumProcessModules(process.get(), modules, sizeof modules, &needed) && needed != 0) {
    const DWORD length = psapi.getModuleFileNameEx(process.get(), modules[0], path, MAX_PATH * 2);
    started = StartOf(process.get());
    if (length != 0) return std::wstring(path, length);
  }
  const QueryFullProcessImageNameWFn query = QueryFullProcessImageName();
  if (query == nullptr) return std::wstring();
  UniqueHandle limited(OpenProcess(kQueryLimitedInformation, FALSE, id));
  DWORD length = MAX_PATH * 2;
  if (!limited || !query(limited.get(), 0, path, &length) || length == 0) return std::wstring();
  started = StartOf(limited.get());
  return std::wstring(path, length);
}

bool IsNtFamily() { return (GetVersion() & 0x80000000u) == 0; }

// Switches the debug privilege on in the program's own token for its
// lifetime, and off again afterwards.
class DebugPrivilege {
 public:
  DebugPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
    token_.reset(token);
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    if (!LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid)) return;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!AdjustTokenPrivileges(token_.get(), FALSE, &privileges, 0, nullptr, nullptr)) return;
    privileges_ = privileges;
    enabled_ = true;
  }
  ~DebugPrivilege() {
    if (!enabled_) return;
    privileges_.Privileges[0].Attributes = 0;
    AdjustTokenPrivileges(token_.get(), FALSE, &privileges_, 0, nullptr, nullptr);
  }
  DebugPrivilege(const DebugPrivilege&) = delete;
  DebugPrivilege& operator=(const DebugPrivilege&) = delete;
  bool enabled() const { return enabled_; }

 private:
  UniqueHandle token_;
  TOKEN_PRIVILEGES privileges_ = {};
  bool enabled_ = false;
};

bool TerminateListed(const RunningProcess& listed, uint32_t exitCode) {
  // The rights to ask when it began: the full ones before Vista, which has
  // no limited ones, and the limited ones where a process withholds more.
  UniqueHandle process(OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, listed.id));
  if (!process) process.reset(OpenProcess(PROCESS_TERMINATE | kQueryLimitedInformation, FALSE, listed.id));
  if (!process && listed.started == 0) process.reset(OpenProcess(PROCESS_TERMINATE, FALSE, listed.id));
  if (!process || (listed.started != 0 && StartOf(process.get()) != listed.started)) return false;
  return TerminateProcess(process.get(), exitCode) != FALSE;
}

}  // namespace

bool ListRunningProcesses(std::vector<RunningProcess>& processes) {
  const ProcessStatusLibrary& psapi = Psapi();
  if (!psapi.Usable()) return false;
  std::vector<DWORD> ids;
  DWORD bufferBytes = 8;
  DWORD filledBytes = 96;
  // Doubles the buffer until a listing leaves room to spare, which shows that
  // every process fitted.
  while (bufferBytes <= filledBytes) {
    bufferBytes *= 2;
    ids.assign(bufferBytes / sizeof(DWORD), 0);
    if (!psapi.enumProcesses(ids.data(), bufferBytes, &filledBytes)) return false;
  }
  ids.resize(filledBytes / sizeof(DWORD));
  for (DWORD id : ids) {
    uint64_t started = 0;
    const std::wstring path = ExecutableOf(psapi, id, started);
    if (!path.empty()) processes.push_back({id, Narrow(path), started});
  }
  return true;
}

bool KillProcess(const RunningProcess& process, uint32_t exitCode) {
  if (!IsNtFamily()) return TerminateListed(process, exitCode);
  DebugPrivilege privilege;
  return privilege.enabled() && TerminateListed(process, exitCode);
}

uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

}  // namespace platform
