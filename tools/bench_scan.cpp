// Measures the program against bare baselines in one run, case by case, in
// alternating pairs (baseline, then program), the first pair of each case
// dropped as a warm-up. For every case it prints the median and minimum of
// the pair ratios, the ratio of the two minimums, the program's peak working
// set and the longest time its window took to answer a message.
//
// The trees lie in A:\park, on a drive a full scan passes over; the bench
// moves the one a case needs onto the scan drive.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "driver/app_driver.h"
#include "driver/wine_registry.h"
#include "platform/text.h"
#include "windows/control_ids.h"

namespace {

double Seconds() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Polls without sending the program messages of its own, so the polling
// does not slow what it times.
bool WaitFor(const std::function<bool()>& condition, double timeoutSeconds) {
  const double start = Seconds();
  while (!condition()) {
    if (Seconds() - start > timeoutSeconds) return false;
    Sleep(2);
  }
  return true;
}

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "bench_scan: %s\n", what.c_str());
  std::fflush(stdout);
  std::exit(1);
}

// The basic information level and large fetches: the quickest way the find
// functions offer (numbered here: older headers lack the names).
const auto kBasicInformation = static_cast<FINDEX_INFO_LEVELS>(1);
const DWORD kLargeFetch = 2;

// The single-threaded baseline: one find loop per folder, depth first.
long long BareWalk(const std::wstring& folder) {
  long long files = 0;
  WIN32_FIND_DATAW data;
  HANDLE find =
      FindFirstFileExW((folder + L"\\*").c_str(), kBasicInformation, &data, FindExSearchNameMatch, nullptr, kLargeFetch);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::wstring name = data.cFileName;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name != L"." && name != L"..") files += BareWalk(folder + L"\\" + name);
    } else {
      ++files;
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return files;
}

// As many threads as the program lists folders on: one per processor, at
// most four.
int ListingThreads() {
  SYSTEM_INFO info = {};
  GetSystemInfo(&info);
  return std::max(1, std::min(static_cast<int>(info.dwNumberOfProcessors), 4));
}

// Folders still to list, shared by the threads of a parallel walk.
struct SharedFolders {
  CRITICAL_SECTION lock;
  std::vector<std::wstring> stack;
  int listing = 0;  // threads listing a folder, which may add more
  long long files = 0;
};

DWORD WINAPI ListSharedFolders(void* shared) {
  auto& folders = *static_cast<SharedFolders*>(shared);
  std::vector<std::wstring> found;
  long long files = 0;
  for (;;) {
    std::wstring folder;
    EnterCriticalSection(&folders.lock);
    const bool done = folders.stack.empty() && folders.listing == 0;
    if (!folders.stack.empty()) {
      folder = std::move(folders.stack.back());
      folders.stack.pop_back();
      ++folders.listing;
    }
    LeaveCriticalSection(&folders.lock);
    if (done) break;
    if (folder.empty()) {
      Sleep(1);
      continue;
    }
    found.clear();
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), kBasicInformation, &data, FindExSearchNameMatch, nullptr,
                                   kLargeFetch);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          if (name != L"." && name != L"..") found.push_back(folder + L"\\" + name);
        } else {
          ++files;
        }
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    EnterCriticalSection(&folders.lock);
    for (std::wstring& subfolder : found) folders.stack.push_back(std::move(subfolder));
    --folders.listing;
    LeaveCriticalSection(&folders.lock);
  }
  EnterCriticalSection(&folders.lock);
  folders.files += files;
  LeaveCriticalSection(&folders.lock);
  return 0;
}

// A bare walk of the roots on `threads` threads that share one stack of
// folders; the order of the folders is whatever the threads make of it.
long long ParallelBareWalk(const std::vector<std::wstring>& roots, int threads) {
  SharedFolders folders;
  InitializeCriticalSection(&folders.lock);
  folders.stack.assign(roots.rbegin(), roots.rend());
  std::vector<HANDLE> handles;
  for (int i = 0; i < threads; ++i) {
    HANDLE thread = CreateThread(nullptr, 0, ListSharedFolders, &folders, 0, nullptr);
    if (thread != nullptr) handles.push_back(thread);
  }
  if (handles.empty()) Fail("no thread for the parallel walk");
  WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE, INFINITE);
  for (HANDLE thread : handles) CloseHandle(thread);
  DeleteCriticalSection(&folders.lock);
  return folders.files;
}

// One part of a bare walk split over processes: every part lists the top
// levels alike until there are enough folders to share, then walks every
// `parts`-th of them; the first part counts the files of the top levels.
long long BareWalkPart(const std::vector<std::wstring>& roots, int part, int parts) {
  std::vector<std::wstring> level = roots;
  long long files = 0;
  while (!level.empty() && level.size() < 8u * parts) {
    std::vector<std::wstring> next;
    for (const std::wstring& folder : level) {
      WIN32_FIND_DATAW data;
      HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
      if (find == INVALID_HANDLE_VALUE) continue;
      do {
        const std::wstring name = data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          if (name != L"." && name != L"..") next.push_back(folder + L"\\" + name);
        } else if (part == 0) {
          ++files;
        }
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    level = std::move(next);
  }
  for (size_t i = part; i < level.size(); i += parts) files += BareWalk(level[i]);
  return files;
}

// The child's side of SplitBareWalk: ready, then the walk once the start
// event comes; prints its files and seconds.
int RunWalkPart(int argc, char** argv) {
  const int part = std::atoi(argv[2]), parts = std::atoi(argv[3]);
  std::vector<std::wstring> roots;
  for (int i = 5; i < argc; ++i) roots.push_back(platform::Widen(argv[i]));
  const std::wstring prefix = platform::Widen(argv[4]);
  HANDLE start = OpenEventW(SYNCHRONIZE, FALSE, (prefix + L"-start").c_str());
  HANDLE ready = OpenSemaphoreW(SEMAPHORE_MODIFY_STATE, FALSE, (prefix + L"-ready").c_str());
  if (start == nullptr || ready == nullptr) return 1;
  ReleaseSemaphore(ready, 1, nullptr);
  WaitForSingleObject(start, INFINITE);
  const double began = Seconds();
  const long long files = BareWalkPart(roots, part, parts);
  std::printf("%lld %.6f\n", files, Seconds() - began);
  return 0;
}

// A bare walk split over `parts` processes of this program, each with a
// thread of its own: under Wine a process lists one folder at a time, so
// threads of one process cannot list more at once than one thread can.
// Timed from a common start, once every process is ready, to the end of the
// slowest part.
std::pair<long long, double> SplitBareWalk(const std::vector<std::string>& roots, int parts) {
  static int run = 0;
  const std::string prefix = "bench-split-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++run);
  HANDLE start = CreateEventW(nullptr, TRUE, FALSE, platform::Widen(prefix + "-start").c_str());
  HANDLE ready = CreateSemaphoreW(nullptr, 0, parts, platform::Widen(prefix + "-ready").c_str());
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::vector<std::pair<HANDLE, HANDLE>> children;  // process, read end of its output
  for (int part = 0; part < parts; ++part) {
    std::wstring command = L"\"" + std::wstring(self) + L"\" --walk-part " + std::to_wstring(part) + L" " +
                           std::to_wstring(parts) + L" " + platform::Widen(prefix);
    for (const std::string& root : roots) command += L" " + platform::Widen(root);
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) Fail("no pipe for a walk part");
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, L"C:\\", &startup, &process)) {
      Fail("could not start a walk part");
    }
    CloseHandle(write);
    CloseHandle(process.hThread);
    children.emplace_back(process.hProcess, read);
  }
  for (int part = 0; part < parts; ++part) {
    if (WaitForSingleObject(ready, 60000) != WAIT_OBJECT_0) Fail("a walk part did not get ready");
  }
  SetEvent(start);
  long long files = 0;
  double slowest = 0;
  for (auto& [process, read] : children) {
    char text[128] = {};
    DWORD got = 0, total = 0;
    while (total + 1 < sizeof text && ReadFile(read, text + total, sizeof text - 1 - total, &got, nullptr) && got > 0) {
      total += got;
    }
    WaitForSingleObject(process, INFINITE);
    long long partFiles = 0;
    double seconds = 0;
    if (std::sscanf(text, "%lld %lf", &partFiles, &seconds) != 2) Fail("a walk part gave no figures");
    files += partFiles;
    slowest = std::max(slowest, seconds);
    CloseHandle(read);
    CloseHandle(process);
  }
  CloseHandle(start);
  CloseHandle(ready);
  return {files, slowest};
}

// The time of the first find call alone, in milliseconds: no caller can split
// it, so it is the least a window that lists the folder in line must wait.
double FirstFindCallMs(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  const double start = Seconds();
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  const double took = (Seconds() - start) * 1000;
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  return took;
}

void CollectFiles(const std::wstring& folder, std::vector<std::wstring>& files) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name != L"." && name != L"..") CollectFiles(folder + L"\\" + name, files);
    } else {
      files.push_back(folder + L"\\" + name);
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

double PeakWorkingSetMb(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (process == nullptr) return 0;
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  double peak = 0;
  if (GetProcessMemoryInfo(process, &counters, sizeof counters)) peak = counters.PeakWorkingSetSize / 1048576.0;
  CloseHandle(process);
  return peak;
}

// Processor time (kernel and user) a process's threads have used, in
// milliseconds. Summed thread by thread: under Wine the process figures of
// another process are the caller's own.
double ProcessorMs(DWORD pid) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  double ms = 0;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != pid) continue;
    HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
    if (thread == nullptr) continue;
    FILETIME created, ended, kernel, user;
    if (GetThreadTimes(thread, &created, &ended, &kernel, &user)) ms += (ticks(kernel) + ticks(user)) / 10000.0;
    CloseHandle(thread);
  }
  CloseHandle(snapshot);
  return ms;
}

int ThreadCount(DWORD pid) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  int count = 0;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == pid) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

// The committed private memory (the page-file usage, which Wine fills in
// where it leaves the private usage at 0) and the working set, in MB.
std::pair<double, double> MemoryMb(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (process == nullptr) return {0, 0};
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  std::pair<double, double> mb = {0, 0};
  if (GetProcessMemoryInfo(process, &counters, sizeof counters)) {
    mb = {counters.PagefileUsage / 1048576.0, counters.WorkingSetSize / 1048576.0};
  }
  CloseHandle(process);
  return mb;
}

// Sends WM_NULL to a window of the program every few milliseconds from a
// thread of its own and keeps the longest wait for an answer, apart for the
// program's own work and for the rest (the baselines loading the machine
// while the program idles).
class ResponsivenessProbe {
 public:
  explicit ResponsivenessProbe(HWND window) : window_(window) {
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  }
  ~ResponsivenessProbe() { Stop(); }
  ResponsivenessProbe(const ResponsivenessProbe&) = delete;
  ResponsivenessProbe& operator=(const ResponsivenessProbe&) = delete;

  // Runs the program's work; a gap that began or ended within it is its own.
  std::function<double()> Working(std::function<double()> work) {
    return [this, work] {
      workStarted_ = Seconds();
      InterlockedExchange(&working_, 1);
      const double seconds = work();
      InterlockedExchange(&working_, 0);
      return seconds;
    };
  }

  // The longest unanswered gap in milliseconds, during the program's work
  // where it was marked, else throughout.
  double Stop() {
    if (thread_ != nullptr) {
      InterlockedExchange(&stop_, 1);
      WaitForSingleObject(thread_, INFINITE);
      CloseHandle(thread_);
      thread_ = nullptr;
    }
    return anyMarked_ ? longestWorkingMs_ : std::max(longestWorkingMs_, longestIdleMs_);
  }
  // Where work was marked, the longest gap outside it.
  double LongestIdleMs() const { return anyMarked_ ? longestIdleMs_ : -1; }
  // How many answers during the program's work came later than the goal,
  // and of how many: one stall of the machine and a slow window look alike
  // in the longest gap, not in this count.
  int LateAnswers() const { return lateWorking_; }
  int Answers() const { return answersWorking_; }
  // Seconds from the start of the work to the longest gap during it: the
  // scan window's making, the walk or the scan's end.
  double LongestAtSeconds() const { return longestAt_; }
  static constexpr double kGoalMs = 50;

 private:
  static DWORD WINAPI Run(void* self) {
    auto& probe = *static_cast<ResponsivenessProbe*>(self);
    while (InterlockedCompareExchange(&probe.stop_, 0, 0) == 0) {
      const bool workingAtSend = InterlockedCompareExchange(&probe.working_, 0, 0) != 0;
      const double sent = Seconds();
      DWORD_PTR result = 0;
      SendMessageTimeoutW(probe.window_, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &result);
      const double ms = (Seconds() - sent) * 1000;
      const bool working = workingAtSend || InterlockedCompareExchange(&probe.working_, 0, 0) != 0;
      if (working) {
        probe.anyMarked_ = true;
        ++probe.answersWorking_;
        if (ms > kGoalMs) ++probe.lateWorking_;
        if (ms > probe.longestWorkingMs_) probe.longestAt_ = sent - probe.workStarted_;
      }
      double& longest = working ? probe.longestWorkingMs_ : probe.longestIdleMs_;
      longest = std::max(longest, ms);
      Sleep(5);
    }
    return 0;
  }

  HWND window_;
  HANDLE thread_ = nullptr;
  volatile LONG stop_ = 0;
  volatile LONG working_ = 0;
  bool anyMarked_ = false;
  double longestWorkingMs_ = 0;
  double longestIdleMs_ = 0;
  int answersWorking_ = 0;
  int lateWorking_ = 0;
  std::atomic<double> workStarted_{0};
  double longestAt_ = 0;
};

// One started program with its own application folder and definitions.
class Program {
 public:
  // `settings` are stored before the program starts.
  Program(const std::string& name, const std::string& refDat,
          const std::vector<std::pair<std::string, std::string>>& settings = {})
      : folder_("bench-" + name) {
    e2e::ResetProgramRegistry();
    for (const auto& [key, value] : settings) e2e::SetSetting(key, value);
    e2e::App::Install(folder_.path(), refDat);
    const double start = Seconds();
    if (!app_.Start(folder_.path())) Fail("the program did not start");
    if (app_.WaitForSplash(600000) == nullptr) Fail("the splash window did not appear");
    startSeconds_ = Seconds() - start;
    if (!WaitFor([&] { return (main_ = app_.MainWindow()) != nullptr && IsWindowVisible(main_); }, 60)) {
      Fail("the main window did not appear");
    }
    SendMessageW(e2e::Child(main_, ids::MainTabs), TCM_SETCURFOCUS, 1, 0);
  }
  ~Program() {
    app_.Kill();
    e2e::ResetProgramRegistry();
  }

  HWND main() const { return main_; }
  double startSeconds() const { return startSeconds_; }
  double PeakMb() const { return PeakWorkingSetMb(app_.pid()); }
  DWORD pid() const { return app_.pid(); }
  const std::string& folder() const { return folder_.path(); }

  // Presses Scan Now and returns the seconds until "Scan Complete", with the
  // finished scan window in `scan`.
  double Scan(HWND& scan) {
    CloseScanWindow();
    const double start = Seconds();
    e2e::Click(e2e::Child(main_, ids::ScanNowButton));
    if (!WaitFor([&] { return (scan = FindWindowW(L"TallowickParawardenScan", L"Scan Complete")) != nullptr; },
                 3600)) {
      Fail("the scan did not complete");
    }
    return Seconds() - start;
  }
  double Scan() {
    HWND scan = nullptr;
    return Scan(scan);
  }

  void CloseScanWindow() {
    HWND scan = FindWindowW(L"TallowickParawardenScan", nullptr);
    if (scan == nullptr) return;
    // Exit is not taken for the second click of a double-click on Abort.
    Sleep(GetDoubleClickTime());
    e2e::Click(e2e::Child(scan, ids::ScanWindowExit));
    if (!WaitFor([&] { return !IsWindow(scan) && IsWindowVisible(main_); }, 600)) Fail("the scan window stayed");
  }

 private:
  e2e::TempFolder folder_;
  e2e::App app_;
  HWND main_ = nullptr;
  double startSeconds_ = 0;
};

struct Pair {
  double baseline = 0;
  double program = 0;
  double parallel = 0;  // the bare parallel walk, where a case measures it
};

struct CaseFigures {
  std::vector<Pair> pairs;  // the first one already dropped
  double peakMb = 0;
  double longestGapMs = -1;      // not measured when negative
  double longestIdleGapMs = -1;  // while only the baselines ran; where measured
  int lateAnswers = -1;          // answers over the goal while the program scanned; where counted
  int answers = 0;
  double longestAtSeconds = 0;
};

// The probe's figures of a case whose program work it told apart.
void TakeGaps(ResponsivenessProbe& probe, CaseFigures& figures) {
  figures.longestGapMs = probe.Stop();
  figures.longestIdleGapMs = probe.LongestIdleMs();
  figures.lateAnswers = probe.LateAnswers();
  figures.answers = probe.Answers();
  figures.longestAtSeconds = probe.LongestAtSeconds();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Print(const std::string& title, const std::string& baselineName, const CaseFigures& figures) {
  std::printf("\n%s\n", title.c_str());
  if (figures.pairs.empty()) return;
  std::vector<double> ratios, baselines, programs;
  for (const Pair& pair : figures.pairs) {
    ratios.push_back(pair.program / pair.baseline);
    baselines.push_back(pair.baseline);
    programs.push_back(pair.program);
  }
  const double minBaseline = *std::min_element(baselines.begin(), baselines.end());
  const double minProgram = *std::min_element(programs.begin(), programs.end());
  std::printf("  pairs kept %u; ratio to %s: median %.2f, min %.2f, min/min %.2f\n",
              static_cast<unsigned>(ratios.size()), baselineName.c_str(), Median(ratios),
              *std::min_element(ratios.begin(), ratios.end()), minProgram / minBaseline);
  std::printf("  %s min %.3f s, median %.3f s; program min %.3f s, median %.3f s\n", baselineName.c_str(),
              minBaseline, Median(baselines), minProgram, Median(programs));
  if (figures.pairs.front().parallel > 0) {
    std::vector<double> parallelRatios, parallels;
    for (const Pair& pair : figures.pairs) {
      parallelRatios.push_back(pair.program / pair.parallel);
      parallels.push_back(pair.parallel);
    }
    const double minParallel = *std::min_element(parallels.begin(), parallels.end());
    std::printf("  ratio to the bare parallel walk on %d threads: median %.2f, min %.2f, min/min %.2f\n",
                ListingThreads(), Median(parallelRatios),
                *std::min_element(parallelRatios.begin(), parallelRatios.end()), minProgram / minParallel);
    std::printf("  bare parallel walk min %.3f s, median %.3f s\n", minParallel, Median(parallels));
  }
  std::printf("  peak working set %.1f MB", figures.peakMb);
  if (figures.longestGapMs >= 0) std::printf("; longest unanswered window-message gap %.0f ms", figures.longestGapMs);
  if (figures.longestIdleGapMs >= 0) {
    std::printf(" while the program scanned, about %.2f s after Scan Now (%.0f ms while the baselines ran)",
                figures.longestAtSeconds, figures.longestIdleGapMs);
  }
  if (figures.lateAnswers >= 0) {
    std::printf("; %d of %d answers later than %.0f ms", figures.lateAnswers, figures.answers,
                ResponsivenessProbe::kGoalMs);
  }
  std::printf("\n");
  std::fflush(stdout);
}

// Runs `pairs` alternating pairs and drops the first; with a parallel
// walk, each pair runs it between the baseline and the program. Every other
// pair runs in the opposite order (program first): on a virtual machine the
// first walk after a pause can pay for caches the host took back, which
// would otherwise always fall on the baseline.
std::vector<Pair> Alternate(int pairs, const std::function<double()>& baseline,
                            const std::function<double()>& program, const std::function<double()>& parallel = {}) {
  std::vector<Pair> kept;
  for (int i = 0; i < pairs; ++i) {
    Pair pair;
    if (i % 2 == 0) {
      pair.baseline = baseline();
      if (parallel) pair.parallel = parallel();
      pair.program = program();
    } else {
      pair.program = program();
      if (parallel) pair.parallel = parallel();
      pair.baseline = baseline();
    }
    if (i > 0) kept.push_back(pair);
  }
  return kept;
}

void Move(const std::string& from, const std::string& to) {
  if (!MoveFileW(platform::Widen(from).c_str(), platform::Widen(to).c_str())) {
    Fail("could not move " + from + " to " + to);
  }
}

// Puts a parked tree on the scan drive for the lifetime of the object.
class ActiveTree {
 public:
  ActiveTree(const std::string& drive, const std::string& name)
      : parked_("A:\\park\\" + name), active_(drive + "\\" + name) {
    Move(parked_, active_);
  }
  ~ActiveTree() { Move(active_, parked_); }
  ActiveTree(const ActiveTree&) = delete;
  ActiveTree& operator=(const ActiveTree&) = delete;
  const std::string& path() const { return active_; }

 private:
  std::string parked_, active_;
};

std::string Definitions(const std::string& folder, const std::string& name) {
  const std::optional<std::string> text = e2e::ReadFileText(folder + "\\" + name);
  if (!text) Fail("missing " + name);
  return *text;
}

std::wstring SiblingOf(const std::wstring& file) {
  const size_t dot = file.rfind(L'.');
  return file.substr(0, dot) + L".QVR";
}

// The cases to run, each with its number of pairs: every case unless some
// are named ("quarantine=3,folder").
class Selection {
 public:
  Selection(int defaultPairs, const std::string& choice) : defaultPairs_(defaultPairs) {
    size_t start = 0;
    while (start < choice.size()) {
      size_t end = choice.find(',', start);
      if (end == std::string::npos) end = choice.size();
      const std::string item = choice.substr(start, end - start);
      const size_t equals = item.find('=');
      named_.emplace_back(item.substr(0, equals),
                          equals == std::string::npos ? defaultPairs : std::max(2, std::atoi(item.c_str() + equals + 1)));
      start = end + 1;
    }
  }
  // 0 when the case is not to run.
  int PairsFor(const std::string& name) const {
    if (named_.empty()) return defaultPairs_;
    for (const auto& [caseName, pairs] : named_) {
      if (caseName == name) return pairs;
    }
    return 0;
  }

 private:
  int defaultPairs_;
  std::vector<std::pair<std::string, int>> named_;
};

}  // namespace

// The guard's own cost: the program with the guard on against the same
// program with it off, idle for a minute and while 100,000 files are made
// in a new folder at the scan drive's root, 10 of them named by the
// definitions. The guard walks every drive once it starts, as a background
// scan; the minute starts when that walk is over, and the walk's own cost
// is what the burst is held against.
void GuardCase(const std::string& drive, const std::string& refDat) {
  constexpr int kBurstFiles = 100000;
  struct Figures {
    double checkSeconds = 0, checkMs = 0;
    double idleMs = 0, privateMb = 0, workingSetMb = 0;
    double burstMs = 0, burstSeconds = 0, peakMb = 0;
    // Another program of the same session that does nothing meanwhile, and
    // this process, which makes the files: what the burst costs any process.
    double bystanderMs = 0, makerMs = 0;
    LRESULT found = 0;
  };
  // Waits until the program has used under 20 ms of processor time in 3 s.
  const auto settle = [](DWORD pid) {
    for (double last = ProcessorMs(pid), start = Seconds(); Seconds() - start < 900;) {
      Sleep(3000);
      const double now = ProcessorMs(pid);
      if (now - last < 20) return;
      last = now;
    }
  };
  const auto measure = [&](const char* guard) {
    Figures figures;
    const double started = Seconds();
    Program program(std::string("guard-") + guard, refDat, {{"GUARD", guard}});
    settle(program.pid());
    figures.checkSeconds = Seconds() - started;
    figures.checkMs = ProcessorMs(program.pid());
    const double idleStart = ProcessorMs(program.pid());
    Sleep(60000);
    figures.idleMs = ProcessorMs(program.pid()) - idleStart;
    std::tie(figures.privateMb, figures.workingSetMb) = MemoryMb(program.pid());

    const std::string folder = drive + "\\guard-burst";
    e2e::RemoveTree(folder);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION bystander = {};
    wchar_t commandLine[] = L"C:\\windows\\system32\\notepad.exe";
    const bool bystanding =
        CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &bystander) != FALSE;
    if (bystanding) WaitForInputIdle(bystander.hProcess, 10000);
    const double bystanderStart = bystanding ? ProcessorMs(bystander.dwProcessId) : 0;
    const double makerStart = ProcessorMs(GetCurrentProcessId());
    const double burstStart = ProcessorMs(program.pid());
    const double start = Seconds();
    CreateDirectoryW(platform::Widen(folder).c_str(), nullptr);
    for (int i = 0; i < kBurstFiles; ++i) {
      char name[32];
      if (i % (kBurstFiles / 10) == kBurstFiles / 20) {
        std::snprintf(name, sizeof name, "bench%02d.exe", i / (kBurstFiles / 10));
      } else {
        std::snprintf(name, sizeof name, "file%06d.dat", i);
      }
      HANDLE file = CreateFileW(platform::Widen(folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    figures.burstSeconds = Seconds() - start;
    // What the guard has still to read, and any check it makes, end in time.
    HWND window = nullptr;
    WaitFor([&] {
      window = FindWindowW(L"TallowickParawardenGuard", nullptr);
      return window != nullptr &&
             SendMessageW(e2e::Child(window, ids::GuardWindowFindings), LB_GETCOUNT, 0, 0) == 10;
    }, 60);
    settle(program.pid());
    figures.burstMs = ProcessorMs(program.pid()) - burstStart;
    figures.makerMs = ProcessorMs(GetCurrentProcessId()) - makerStart;
    if (bystanding) {
      figures.bystanderMs = ProcessorMs(bystander.dwProcessId) - bystanderStart;
      TerminateProcess(bystander.hProcess, 0);
      CloseHandle(bystander.hThread);
      CloseHandle(bystander.hProcess);
    }
    figures.peakMb = program.PeakMb();
    if (window != nullptr) figures.found = SendMessageW(e2e::Child(window, ids::GuardWindowFindings), LB_GETCOUNT, 0, 0);
    e2e::RemoveTree(folder);
    return figures;
  };
  const Figures on = measure("1");
  const Figures off = measure("0");
  std::printf("\nthe guard (on, and off for comparison)\n");
  std::printf("  start-up until settled (the guard's walk of every drive, a background scan): %.1f s, processor time "
              "%.0f ms (off: %.1f s, %.0f ms)\n",
              on.checkSeconds, on.checkMs, off.checkSeconds, off.checkMs);
  std::printf("  idle for 60 s: processor time %.0f ms (off: %.0f ms), %.3f%% of a core; committed memory %.2f MB (off: "
              "%.2f MB, the guard's share %.2f MB); working set %.2f MB (off: %.2f MB)\n",
              on.idleMs, off.idleMs, on.idleMs / 600.0, on.privateMb, off.privateMb, on.privateMb - off.privateMb,
              on.workingSetMb, off.workingSetMb);
  std::printf("  while %d files are made (%.1f s, and until settled): processor time %.0f ms (off: %.0f ms), against "
              "%.0f ms for the walk at start-up; peak working set %.2f MB (off: %.2f MB); listed files shown %ld of 10\n",
              kBurstFiles, on.burstSeconds, on.burstMs, off.burstMs, on.checkMs - off.checkMs, on.peakMb, off.peakMb,
              static_cast<long>(on.found));
  std::printf("  meanwhile an idle Notepad used %.0f ms (%.0f ms in the run with the guard off) and the process making "
              "the files %.0f ms (%.0f ms)\n",
              on.bystanderMs, off.bystanderMs, on.makerMs, off.makerMs);
}

// What the system lets a walk gain from listing on several threads, against
// listing in as many processes: the single-threaded walk, then the walk on
// threads of one process, then the walk split over processes, in turns.
void WalksCase(int rounds, const std::function<double()>& walk, const std::function<double()>& parallelWalk,
               const std::string& drive, int threads) {
  std::vector<double> threadRatios, processRatios;
  for (int i = 0; i < rounds; ++i) {
    const double single = walk();
    const double parallel = parallelWalk();
    const auto [files, split] = SplitBareWalk({"C:", drive}, threads);
    if (i == 0) {
      std::printf("\nbare walks of C: and the 200,000-file tree (%lld files in the split walk)\n", files);
      continue;
    }
    threadRatios.push_back(parallel / single);
    processRatios.push_back(split / single);
    std::printf("  single %.3f s, %d threads of one process %.3f s, %d processes %.3f s\n", single, threads, parallel,
                threads, split);
  }
  if (threadRatios.empty()) return;
  std::printf("  ratio to the single-threaded walk: %d threads median %.2f, min %.2f; %d processes median %.2f, min %.2f\n",
              threads, Median(threadRatios), *std::min_element(threadRatios.begin(), threadRatios.end()), threads,
              Median(processRatios), *std::min_element(processRatios.begin(), processRatios.end()));
  std::fflush(stdout);
}

// Abort pressed at a different moment of each full scan of the
// 1,000,000-file tree: the time until the window reads "Scan Complete", and
// whether the program is back to the threads it had before the scan.
void AbortCase(int trials, const std::string& refDat) {
  Program program("abort", refDat);
  std::vector<double> ms;
  int threadsLeft = 0;
  for (int i = 0; i < trials; ++i) {
    program.CloseScanWindow();
    const int before = ThreadCount(program.pid());
    e2e::Click(e2e::Child(program.main(), ids::ScanNowButton));
    HWND scan = nullptr;
    if (!WaitFor([&] { return (scan = FindWindowW(L"TallowickParawardenScan", nullptr)) != nullptr && IsWindowVisible(scan); },
                 60)) {
      Fail("the scan window did not appear");
    }
    Sleep(700 + 300 * i);
    if (FindWindowW(L"TallowickParawardenScan", L"Scan Complete") != nullptr) Fail("the scan ended before Abort");
    const double pressed = Seconds();
    e2e::Click(e2e::Child(scan, ids::ScanWindowAbort));
    const double limit = pressed + 60;
    while (FindWindowW(L"TallowickParawardenScan", L"Scan Complete") == nullptr) {
      if (Seconds() > limit) Fail("the scan did not stop");
      Sleep(1);
    }
    const double took = (Seconds() - pressed) * 1000;
    // The first trial warms up, as the first pair of the other cases does.
    if (i == 0) continue;
    ms.push_back(took);
    if (ThreadCount(program.pid()) > before) ++threadsLeft;
  }
  std::printf("\nAbort during a full scan of 1,000,000 files (%u trials kept)\n", static_cast<unsigned>(ms.size()));
  if (ms.empty()) return;
  std::printf("  until \"Scan Complete\": median %.0f ms, longest %.0f ms; trials with more threads than before: %d\n",
              Median(ms), *std::max_element(ms.begin(), ms.end()), threadsLeft);
  std::fflush(stdout);
}

// Another build against this one, full scan for full scan of the 200,000
// files: a change's effect measured in one run, free of the drift between
// runs that the ratios to the bare walk carry. Each scan has a program of
// its own, started afresh, since only one copy runs at a time.
void BuildsCase(int pairs, const std::string& definitions) {
  // Copied at once: changing the environment below may move it.
  const char* named = std::getenv("PW_BENCH_OTHER");
  const std::string other = named != nullptr ? named : "";
  if (other.empty()) {
    std::printf("\nbuilds: PW_BENCH_OTHER names no other build; case left out\n");
    return;
  }
  const char* ours = std::getenv("PW_APP_EXE");
  const std::string self = ours != nullptr ? ours : "";
  const std::string refDat = Definitions(definitions, "ref-10k.dat");
  double otherPeakMb = 0;
  CaseFigures figures;
  const auto scanWith = [&](const std::string& exe, const char* name, double& peakMb) {
    return [&, exe, name] {
      _putenv(("PW_APP_EXE=" + exe).c_str());
      Program program(name, refDat);
      const double seconds = program.Scan();
      peakMb = std::max(peakMb, program.PeakMb());
      return seconds;
    };
  };
  figures.pairs = Alternate(pairs, scanWith(other, "other", otherPeakMb), scanWith(self, "this", figures.peakMb));
  _putenv(("PW_APP_EXE=" + self).c_str());
  Print("full scan of 200,000 files, this build against " + other, "the other build", figures);
  std::printf("  the other build's peak working set %.1f MB\n", otherPeakMb);
}

int main(int argc, char** argv) {
  if (argc >= 6 && std::string(argv[1]) == "--walk-part") return RunWalkPart(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr,
                 "usage: bench_scan <pairs> <scan drive, e.g. E:> <folder of the definitions files> "
                 "[case[=pairs],...: scan, walks, builds, detections, definitions, startup, quarantine, folder, "
                 "million, abort, guard]\n");
    return 2;
  }
  const int defaultPairs = std::max(2, std::atoi(argv[1]));
  const Selection selection(defaultPairs, argc > 4 ? argv[4] : "");
  const std::string drive = argv[2];
  const std::string definitions = argv[3];
  const std::wstring wideDrive = platform::Widen(drive);
  // A full scan walks the system drive before the scan drive; so does the
  // baseline.
  const auto walk = [&] {
    const double start = Seconds();
    BareWalk(L"C:");
    BareWalk(wideDrive);
    return Seconds() - start;
  };
  const int threads = ListingThreads();
  const auto parallelWalk = [&] {
    const double start = Seconds();
    ParallelBareWalk({L"C:", wideDrive}, threads);
    return Seconds() - start;
  };
  std::printf("%d alternating pairs per case unless named otherwise, the first dropped; baseline first in every other "
              "pair, program first in the rest\n",
              defaultPairs);

  if (selection.PairsFor("scan") || selection.PairsFor("detections") || selection.PairsFor("definitions") ||
      selection.PairsFor("startup") || selection.PairsFor("walks") || selection.PairsFor("builds")) {
    ActiveTree tree(drive, "main");
    std::printf("\nthe 200,000-file tree: %lld files\n", BareWalk(wideDrive));
    if (const int pairs = selection.PairsFor("walks")) WalksCase(pairs, walk, parallelWalk, drive, threads);
    if (const int pairs = selection.PairsFor("scan")) {
      Program program("plain", Definitions(definitions, "ref-10k.dat"));
      HWND scan = nullptr;
      program.Scan(scan);
      std::printf("program counted: %s; %s\n", e2e::WindowText(e2e::Child(scan, ids::ScanWindowScannedCount)).c_str(),
                  e2e::WindowText(e2e::Child(scan, ids::ScanWindowFoundCount)).c_str());
      CaseFigures figures;
      ResponsivenessProbe probe(program.main());
      figures.pairs = Alternate(pairs, walk, probe.Working([&] { return program.Scan(); }), parallelWalk);
      TakeGaps(probe, figures);
      figures.peakMb = program.PeakMb();
      Print("full scan of 200,000 files (10,000 definitions, 40 detections)", "bare walk", figures);

      // The first 10 of the 40 areas hold 50,000 files.
      for (int area = 10; area < 40; ++area) {
        char name[16];
        std::snprintf(name, sizeof name, "area%02d", area);
        Move(tree.path() + "\\" + name, "A:\\park\\" + std::string(name));
      }
      std::printf("\nthe 50,000-file tree: %lld files\n", BareWalk(wideDrive));
      CaseFigures small;
      ResponsivenessProbe smallProbe(program.main());
      small.pairs = Alternate(pairs, walk, smallProbe.Working([&] { return program.Scan(); }), parallelWalk);
      TakeGaps(smallProbe, small);
      small.peakMb = program.PeakMb();
      Print("full scan of 50,000 files", "bare walk", small);
      for (int area = 10; area < 40; ++area) {
        char name[16];
        std::snprintf(name, sizeof name, "area%02d", area);
        Move("A:\\park\\" + std::string(name), tree.path() + "\\" + name);
      }
    }
    if (const int pairs = selection.PairsFor("builds")) BuildsCase(pairs, definitions);
    if (const int pairs = selection.PairsFor("detections")) {
      Program program("hits", Definitions(definitions, "ref-hits.dat"));
      CaseFigures figures;
      ResponsivenessProbe probe(program.main());
      HWND scan = nullptr;
      figures.pairs = Alternate(pairs, walk, [&] { return program.Scan(scan); });
      figures.longestGapMs = probe.Stop();
      figures.peakMb = program.PeakMb();
      const size_t lines = static_cast<size_t>(SendMessageW(e2e::Child(scan, ids::ScanWindowDetections), LB_GETCOUNT, 0, 0));
      Print("10,000 detections in 200,000 files", "bare walk", figures);
      std::printf("  list lines %u; labels: %s, %s\n", static_cast<unsigned>(lines),
                  e2e::WindowText(e2e::Child(scan, ids::ScanWindowFoundCount)).c_str(),
                  e2e::WindowText(e2e::Child(scan, ids::ScanWindowScannedCount)).c_str());
    }
    if (const int pairs = selection.PairsFor("definitions")) {
      const std::string small = Definitions(definitions, "ref-10k.dat");
      const std::string large = Definitions(definitions, "ref-200k.dat");
      CaseFigures figures;
      double smallPeak = 0;
      figures.pairs = Alternate(
          pairs,
          [&] {
            Program program("defs-small", small);
            const double seconds = program.Scan();
            smallPeak = std::max(smallPeak, program.PeakMb());
            return seconds;
          },
          [&] {
            Program program("defs-large", large);
            const double seconds = program.Scan();
            figures.peakMb = std::max(figures.peakMb, program.PeakMb());
            return seconds;
          });
      Print("full scan of 200,000 files with 200,000 definitions", "the same scan with 10,000 definitions", figures);
      std::printf("  peak working set with 10,000 definitions %.1f MB\n", smallPeak);
    }
    if (const int pairs = selection.PairsFor("startup")) {
      // Here the peak working set is the point.
      const std::string small = Definitions(definitions, "ref-10k.dat");
      const std::string huge = Definitions(definitions, "ref-1m.dat");
      CaseFigures figures;
      figures.pairs = Alternate(
          pairs, [&] { return Program("start-small", small).startSeconds(); },
          [&] {
            Program program("start-huge", huge);
            figures.peakMb = std::max(figures.peakMb, program.PeakMb());
            return program.startSeconds();
          });
      Print("start-up with 1,000,000 definitions (until the splash window)", "start-up with 10,000", figures);
      std::printf("  definitions file %.1f MB\n", huge.size() / 1048576.0);
    }
  }
  if (const int pairs = selection.PairsFor("quarantine")) {
    ActiveTree tree(drive, "quarantine");
    std::vector<std::wstring> files;
    CollectFiles(platform::Widen(tree.path()), files);
    std::printf("\nthe quarantine tree: %u files\n", static_cast<unsigned>(files.size()));
    const std::wstring bareFolder = L"A:\\park\\bare-quarantine";
    CreateDirectoryW(bareFolder.c_str(), nullptr);
    const auto restore = [&] {
      for (const std::wstring& file : files) {
        if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) MoveFileW(SiblingOf(file).c_str(), file.c_str());
      }
    };
    Program program("quarantine", Definitions(definitions, "ref-quarantine.dat"));
    const std::string quarantineFolder = program.folder() + "\\Quarantine";
    CaseFigures figures;
    figures.longestGapMs = 0;
    size_t removed = 0;
    figures.pairs = Alternate(
        pairs,
        [&] {
          const double start = Seconds();
          // Durable, as a removal must be: the copy is written through to
          // the disk before the original goes.
          for (const std::wstring& file : files) {
            const std::wstring copy = bareFolder + file.substr(file.rfind(L'\\'));
            CopyFileW(file.c_str(), copy.c_str(), FALSE);
            HANDLE written = CreateFileW(copy.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
            if (written != INVALID_HANDLE_VALUE) {
              FlushFileBuffers(written);
              CloseHandle(written);
            }
            CopyFileW(file.c_str(), SiblingOf(file).c_str(), FALSE);
            DeleteFileW(file.c_str());
          }
          const double seconds = Seconds() - start;
          restore();
          e2e::RemoveTree(platform::Narrow(bareFolder));
          CreateDirectoryW(bareFolder.c_str(), nullptr);
          return seconds;
        },
        [&] {
          e2e::RemoveTree(quarantineFolder);
          HWND scan = nullptr;
          program.Scan(scan);
          HWND list = e2e::Child(scan, ids::ScanWindowDetections);
          SendMessageW(list, LB_SETSEL, TRUE, -1);
          ResponsivenessProbe probe(program.main());
          const double start = Seconds();
          e2e::Click(e2e::Child(scan, ids::ScanWindowQuarantine));
          const auto lines = [&] {
            DWORD_PTR count = 1;
            return SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 50, &count) ? count : 1;
          };
          if (!WaitFor([&] { return lines() == 0; }, 3600)) {
            Fail("the quarantine did not finish");
          }
          const double seconds = Seconds() - start;
          figures.longestGapMs = std::max(figures.longestGapMs, probe.Stop());
          removed = 0;
          for (const std::wstring& file : files) removed += GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES;
          restore();
          return seconds;
        });
    figures.peakMb = program.PeakMb();
    Print("quarantine of 10,000 marked detections (until the list is empty)",
          "bare copy-in, write-through, copy-beside, delete loop",
          figures);
    std::printf("  files removed by the program in the last pair: %u\n", static_cast<unsigned>(removed));
    e2e::RemoveTree(platform::Narrow(bareFolder));
  }
  if (const int pairs = selection.PairsFor("folder")) {
    ActiveTree tree(drive, "big");
    std::printf("\nthe one-folder tree: %lld files\n", BareWalk(wideDrive));
    Program program("big", Definitions(definitions, "ref-10k.dat"));
    CaseFigures figures;
    ResponsivenessProbe probe(program.main());
    figures.pairs = Alternate(pairs, walk, [&] { return program.Scan(); });
    figures.longestGapMs = probe.Stop();
    figures.peakMb = program.PeakMb();
    Print("full scan of one folder of 50,000 files", "bare walk", figures);
    std::vector<double> firstCalls;
    for (int i = 0; i < pairs; ++i) firstCalls.push_back(FirstFindCallMs(wideDrive + L"\\big\\folder"));
    std::printf("  the system's first find call on that folder alone: median %.0f ms, min %.0f ms\n", Median(firstCalls),
                *std::min_element(firstCalls.begin(), firstCalls.end()));
  }
  if (const int pairs = selection.PairsFor("million")) {
    ActiveTree tree(drive, "million");
    std::printf("\nthe 1,000,000-file tree: %lld files (the bare parallel walk counts %lld)\n", BareWalk(wideDrive),
                ParallelBareWalk({wideDrive}, threads));
    Program program("million", Definitions(definitions, "ref-10k.dat"));
    CaseFigures figures;
    ResponsivenessProbe probe(program.main());
    figures.pairs = Alternate(pairs, walk, probe.Working([&] { return program.Scan(); }), parallelWalk);
    TakeGaps(probe, figures);
    figures.peakMb = program.PeakMb();
    Print("full scan of 1,000,000 files in 20,000 folders", "bare walk", figures);
  }
  if (const int trials = selection.PairsFor("abort")) {
    ActiveTree tree(drive, "million");
    AbortCase(trials, Definitions(definitions, "ref-10k.dat"));
  }
  if (selection.PairsFor("guard")) GuardCase(drive, Definitions(definitions, "ref-10k.dat"));
  return 0;
}
