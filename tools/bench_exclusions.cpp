// Measures the Exclusions window with many exclusions: how long it takes
// to open with them listed, and to remove them all with one press of
// Remove, timed from the press until the list is empty and the window
// answers again. Prints one line per run.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/app_driver.h"
#include "driver/wine_registry.h"
#include "windows/control_ids.h"

namespace {

double Seconds() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "bench_exclusions: %s\n", what);
  std::exit(1);
}

bool Answers(HWND window) {
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 60000, &answer) != 0;
}

void Run(int count, const std::string& folder) {
  e2e::ResetProgramRegistry();
  for (int i = 0; i < count; ++i) {
    e2e::SetUserString("Software\\VB and VBA Program Settings\\Tallowick Parawarden\\EXCLUSIONS",
                       "C:\\Bench\\Folder" + std::to_string(i / 100) + "\\file" + std::to_string(i) + ".exe",
                       "Benchmark exclusion");
  }
  e2e::App app;
  e2e::App::Install(folder, e2e::App::DefaultRefDat());
  if (!app.Start(folder)) Fail("the program did not start");
  HWND splash = app.WaitForSplash(60000);
  if (splash == nullptr) Fail("no splash window");
  e2e::Click(e2e::Child(splash, ids::SplashStart));
  HWND main = nullptr;
  e2e::WaitUntil([&] { return (main = app.MainWindow()) != nullptr && IsWindowVisible(main); }, 30000);
  if (main == nullptr) Fail("no main window");
  SendMessageW(e2e::Child(main, ids::MainTabs), TCM_SETCURFOCUS, tabs::Settings, 0);

  const double openStart = Seconds();
  PostMessageW(e2e::Child(main, ids::SettingsExclusionsButton), BM_CLICK, 0, 0);
  HWND window = app.WaitForTopLevel("TallowickParawardenExclusions", "Exclusions", 120000);
  if (window == nullptr) Fail("no Exclusions window");
  HWND list = e2e::Child(window, ids::ExclusionsList);
  if (!e2e::WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == count; }, 120000) || !Answers(window)) {
    Fail("the list did not fill");
  }
  const double opened = Seconds() - openStart;

  SendMessageW(list, LB_SETSEL, TRUE, -1);
  const double removeStart = Seconds();
  PostMessageW(e2e::Child(window, ids::ExclusionsRemove), BM_CLICK, 0, 0);
  if (!e2e::WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 0; }, 300000) || !Answers(window)) {
    Fail("the list did not empty");
  }
  const double removed = Seconds() - removeStart;
  std::printf("%6d exclusions: window opened and filled in %.3f s; Remove of all of them took %.3f s\n", count, opened,
              removed);
  std::fflush(stdout);
  app.Kill();
  e2e::ResetProgramRegistry();
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  e2e::TempFolder folder("bench-exclusions");
  for (int i = 0; i < runs; ++i) Run(count, folder.path());
  return 0;
}
