// Fixture for tests that scan: a tree of the test's own on E:, the scan
// drive, and the steps of a scan run as a user takes them. A full scan
// walks C: and E:.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "driver/program_test.h"

namespace e2e {

// Files (hidden and system files among them) in a folder's whole tree, as a
// scan counts them; the drive's own content has no links.
inline int CountFiles(const std::wstring& folder) {
  int count = 0;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::wstring name = data.cFileName;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name != L"." && name != L"..") count += CountFiles(folder + L"\\" + name);
    } else {
      ++count;
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return count;
}

class ScanFixture : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    tree_ = "E:\\" + testName_;
    RemoveTree(tree_);
    CreateDirectoryW(platform::Widen(tree_).c_str(), nullptr);
  }
  void TearDown() override {
    ProgramTest::TearDown();
    RemoveTree(tree_);
    for (const std::string& path : extraFiles_) RemoveTree(path);
  }

  // Creates a file (and the folders on its way) below the test's tree.
  std::string MakeFile(const std::string& relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL,
                       const std::string& content = "not really a program") {
    const std::string path = tree_ + "\\" + relative;
    for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
      CreateDirectoryW(platform::Widen(path.substr(0, slash)).c_str(), nullptr);
    }
    WriteFileBytes(path, content);
    SetFileAttributesW(platform::Widen(path).c_str(), attributes);
    return path;
  }

  HWND StartAndShowMain(const std::string& refDat) {
    if (StartProgram(refDat) == nullptr) return nullptr;
    return VisibleMainWindow();
  }

  // Chooses the scan mode, presses "Scan Now" and returns the scan window.
  HWND StartScan(HWND main, bool full) {
    SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, 1, 0);
    Click(Child(main, full ? ids::ScanFullOption : ids::ScanQuickOption));
    WaitUntil([&] { return IsChecked(Child(main, full ? ids::ScanFullOption : ids::ScanQuickOption)); });
    // A full scan walks the system drive as well: what it holds at the start
    // (the Windows folder, the program copies, this test's application
    // folder) is counted now, before a report adds to it.
    if (full) systemDriveFiles_ = CountFiles(L"\\\\?\\C:");
    Click(Child(main, ids::ScanNowButton));
    return app_.WaitForTopLevel("TallowickParawardenScan", std::nullopt);
  }

  // Files a full scan examines besides the test's own tree: the fixed trees
  // on E: and everything on C: when the scan started.
  int FixtureFiles() const {
    const char* count = std::getenv("PW_SCAN_FIXTURE_FILES");
    return (count != nullptr ? std::atoi(count) : 0) + systemDriveFiles_;
  }

  bool WaitForComplete(HWND scan, int timeoutMs = 60000) {
    return WaitUntil([&] { return WindowText(scan) == "Scan Complete"; }, timeoutMs);
  }

  HWND RunScan(HWND main, bool full) {
    HWND scan = StartScan(main, full);
    return scan != nullptr && WaitForComplete(scan) ? scan : nullptr;
  }

  static std::vector<std::string> Lines(HWND scan) { return ListItems(Child(scan, ids::ScanWindowDetections)); }
  // One message instead of one per line: while a scan runs each answer waits
  // for the scan's next look at its messages.
  static LRESULT LineCount(HWND scan) { return SendMessageW(Child(scan, ids::ScanWindowDetections), LB_GETCOUNT, 0, 0); }
  static std::string Label(HWND scan, int id) { return WindowText(Child(scan, id)); }

  std::vector<std::string> Reports() {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(platform::Widen(AppFile("Reports\\*")).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(platform::Narrow(data.cFileName));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
  }

  std::string tree_;
  std::vector<std::string> extraFiles_;
  int systemDriveFiles_ = 0;
};

}  // namespace e2e
