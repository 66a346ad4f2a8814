// One file, two spellings: a program kept by its long name and run under
// its short (8.3) name is not ended, and a Run value that names a file by
// its short name goes with it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/definitions_index.h"
#include "core/definitions_list.h"
#include "features/disk_folders.h"
#include "features/exclusions.h"
#include "features/process_pass.h"
#include "features/startup_traces.h"
#include "platform/processes.h"
#include "platform/system.h"
#include "platform/text.h"
#include "remove_tree.h"

namespace {

using platform::Narrow;
using platform::Widen;

class ShortNames : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = L"C:\\pwshort" + std::to_wstring(GetCurrentProcessId());
    const std::wstring folder = root_ + L"\\Long Zattera Folder";
    ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    longPath_ = folder + L"\\zango.exe";
    // A console program of the system's that waits, as the running-program
    // test starts it.
    const std::wstring ping = Widen(platform::WindowsDirectory()) + L"\\system32\\ping.exe";
    ASSERT_TRUE(CopyFileW(ping.c_str(), longPath_.c_str(), TRUE));
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(longPath_.c_str(), shortPath, MAX_PATH), 0u);
    shortPath_ = shortPath;
    ASSERT_NE(shortPath_.find(L'~'), std::wstring::npos) << Narrow(shortPath_);
  }
  void TearDown() override {
    if (process_ != nullptr) {
      TerminateProcess(process_, 0);
      WaitForSingleObject(process_, 5000);
      CloseHandle(process_);
    }
    RemoveTree(root_);
  }

  std::wstring root_, longPath_, shortPath_;
  HANDLE process_ = nullptr;
};

TEST_F(ShortNames, AProgramKeptByItsLongNameRunsOnUnderItsShortName) {
  std::wstring commandLine = L"\"" + shortPath_ + L"\" -n 60 127.0.0.1";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION info = {};
  ASSERT_TRUE(CreateProcessW(shortPath_.c_str(), &commandLine[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                             nullptr, &startup, &info));
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  std::string listedAs;
  for (int i = 0; i < 50 && listedAs.empty(); ++i) {
    if (i > 0) Sleep(100);
    std::vector<platform::RunningProcess> processes;
    ASSERT_TRUE(platform::ListRunningProcesses(processes));
    for (const platform::RunningProcess& process : processes) {
      if (process.id == info.dwProcessId) listedAs = process.executablePath;
    }
  }
  ASSERT_FALSE(listedAs.empty());

  core::DefinitionsList list;
  list.Assign({"header", "zango.exe|Adware"});
  const core::DefinitionsIndex index(list, features::FoldFileName);
  // The file or folder named by a detection left unmarked is kept.
  const auto passKeeping = [&](const std::wstring& keptAs) {
    std::vector<core::Detection> detections;
    if (!keptAs.empty()) detections.push_back({Narrow(keptAs), "Adware"});
    ASSERT_TRUE(features::RunProcessPass(index, detections, {}, [] {}));
  };
  // Windows lists the program by the path it was started with; Wine lists
  // the long one, so the exclusion is asked about the short spelling as well.
  for (const std::wstring& keptAs : {longPath_, root_ + L"\\LONG ZATTERA folder"}) {
    core::PathSet kept(features::FoldFileName);
    kept.Add(Narrow(keptAs));
    EXPECT_TRUE(features::IsExcluded(kept, Narrow(shortPath_))) << Narrow(shortPath_);
    passKeeping(keptAs);
    EXPECT_EQ(WaitForSingleObject(process_, 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "listed as " << listedAs << ", kept as " << Narrow(keptAs);
  }
  passKeeping(L"");
  EXPECT_EQ(WaitForSingleObject(process_, 10000), WAIT_OBJECT_0);
}

TEST_F(ShortNames, ARunValueNamingTheFileByItsShortNameIsItsTrace) {
  features::LogOnEntries entries;
  const std::string shortPath = Narrow(shortPath_);
  entries.values = {
      {"HKCU\\Run", "Short", REG_SZ, shortPath + " /tray", shortPath + " /tray"},
      {"HKCU\\Run", "Quoted", REG_SZ, "\"" + shortPath + "\"", "\"" + shortPath + "\""},
      {"HKCU\\Run", "Argument", REG_SZ, "C:\\x.exe " + shortPath, "C:\\x.exe " + shortPath},
  };
  std::vector<std::string> names;
  for (const core::StartupTrace& trace : features::FindStartupTraces(Narrow(longPath_), entries)) {
    names.push_back(trace.name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Short", "Quoted"}));
}

}  // namespace
