// Running programs as the removal sees them: a program that runs is listed
// with its executable and can be ended, a 64-bit one on 64-bit Windows too
// (scripts/test runs this in a 64-bit prefix as well).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/processes.h"
#include "platform/system.h"
#include "platform/text.h"

namespace {

TEST(RunningProcesses, AProgramOfTheSystemsOwnKindIsListedWithItsExecutableAndEnded) {
  const bool sixtyFour = platform::RunsOn64BitWindows();
  if (std::getenv("PW_EXPECT_64BIT_WINDOWS") != nullptr) {
    ASSERT_TRUE(sixtyFour);
  }
  // A console program of the system's, given no console and none of the
  // test's output handles, which it would hold open for the test runner.
  // Detached: Wine gives a program made without a window a console host of
  // its own, which may outlive it and hold the runner's output.
  // "Sysnative" is how a 32-bit program reaches the 64-bit programs' system
  // folder.
  const std::string program =
      platform::WindowsDirectory() + (sixtyFour ? "\\Sysnative\\ping.exe" : "\\system32\\ping.exe");
  std::wstring commandLine = L"\"" + platform::Widen(program) + L"\" -n 60 127.0.0.1";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION info = {};
  ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr,
                             &startup, &info))
      << program;
  CloseHandle(info.hThread);

  // A process that has only just begun may not show its modules yet.
  platform::RunningProcess listed{0, "", 0};
  for (int i = 0; i < 50 && listed.executablePath.empty(); ++i) {
    if (i > 0) Sleep(100);
    std::vector<platform::RunningProcess> processes;
    ASSERT_TRUE(platform::ListRunningProcesses(processes));
    for (const platform::RunningProcess& process : processes) {
      if (process.id == info.dwProcessId) listed = process;
    }
  }
  const std::string& path = listed.executablePath;
  const std::string file = "\\ping.exe";
  EXPECT_TRUE(path.size() > file.size() && _stricmp(path.c_str() + path.size() - file.size(), file.c_str()) == 0)
      << "listed as \"" << path << "\"";

  // Another process that took the listed one's id is not ended in its place.
  EXPECT_NE(listed.started, 0u);
  platform::RunningProcess later = listed;
  later.started += 1;
  EXPECT_FALSE(platform::KillProcess(later, 7));
  EXPECT_EQ(WaitForSingleObject(info.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(platform::KillProcess(listed, 7));
  EXPECT_EQ(WaitForSingleObject(info.hProcess, 10000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &exitCode));
  EXPECT_EQ(exitCode, 7u);
  if (exitCode == STILL_ACTIVE) TerminateProcess(info.hProcess, 0);
  CloseHandle(info.hProcess);
}

}  // namespace
