// Measures a full scan through the real program against a bare walk of the
// same tree, in one run: Scan Now is pressed like a user would and the clock
// stops when the scan window reads "Scan Complete".
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "driver/app_driver.h"
#include "driver/wine_registry.h"
#include "platform/text.h"
#include "ui/control_ids.h"

namespace {

double Seconds() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

long long BareWalk(const std::wstring& folder) {
  long long files = 0;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
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

struct Memory {
  double workingSetMb = 0;
  double peakWorkingSetMb = 0;
};

Memory MemoryOf(DWORD pid) {
  Memory memory;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (process == nullptr) return memory;
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(process, &counters, sizeof counters)) {
    memory.workingSetMb = counters.WorkingSetSize / 1048576.0;
    memory.peakWorkingSetMb = counters.PeakWorkingSetSize / 1048576.0;
  }
  CloseHandle(process);
  return memory;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_scan <tree root, e.g. E:> <ref.dat path>\n");
    return 2;
  }
  const std::string root = argv[1];
  const std::string refDat = e2e::ReadFileText(argv[2]).value_or("");

  // The bare walk runs twice; the second, with a warm cache, is the one compared.
  BareWalk(platform::Widen(root));
  const double walkStart = Seconds();
  const long long files = BareWalk(platform::Widen(root));
  const double walkSeconds = Seconds() - walkStart;

  e2e::ResetProgramRegistry();
  e2e::TempFolder folder("bench-scan");
  e2e::App::Install(folder.path(), refDat);
  e2e::App app;
  if (!app.Start(folder.path())) {
    std::fprintf(stderr, "the program did not start\n");
    return 1;
  }
  HWND main = nullptr;
  if (app.WaitForSplash() == nullptr ||
      !e2e::WaitUntil([&] { return (main = app.MainWindow()) != nullptr && IsWindowVisible(main); })) {
    std::fprintf(stderr, "the main window did not appear\n");
    return 1;
  }
  const Memory before = MemoryOf(app.pid());
  SendMessageW(e2e::Child(main, ids::SSTab1), TCM_SETCURFOCUS, 1, 0);
  const double scanStart = Seconds();
  e2e::Click(e2e::Child(main, ids::cmdstartscan));
  HWND scan = nullptr;
  const bool complete = e2e::WaitUntil(
      [&] {
        if (scan == nullptr) scan = app.FindTopLevel("TallowickParawardenScan", std::nullopt);
        return scan != nullptr && e2e::WindowText(scan) == "Scan Complete";
      },
      30 * 60 * 1000);
  const double scanSeconds = Seconds() - scanStart;
  if (!complete) {
    std::fprintf(stderr, "the scan did not complete\n");
    return 1;
  }
  const Memory after = MemoryOf(app.pid());
  const std::string counted = e2e::WindowText(e2e::Child(scan, ids::lblObjectsscannedcount));
  const size_t detections = e2e::ListItems(e2e::Child(scan, ids::lstadware)).size();
  e2e::ResetProgramRegistry();

  std::printf("files in the tree:            %lld\n", files);
  std::printf("program counted:              %s\n", counted.c_str());
  std::printf("detections:                   %u\n", static_cast<unsigned>(detections));
  std::printf("bare walk:                    %.3f s  (%.0f files/s)\n", walkSeconds, files / walkSeconds);
  std::printf("full scan through the program: %.3f s  (%.0f files/s)\n", scanSeconds, files / scanSeconds);
  std::printf("ratio scan / bare walk:       %.2f\n", scanSeconds / walkSeconds);
  std::printf("working set before the scan:  %.1f MB\n", before.workingSetMb);
  std::printf("working set after the scan:   %.1f MB\n", after.workingSetMb);
  std::printf("peak working set:             %.1f MB\n", after.peakWorkingSetMb);
  return 0;
}
