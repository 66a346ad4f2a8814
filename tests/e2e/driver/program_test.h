// Fixture for end-to-end tests: each test gets an empty registry state for
// the program, its own application folder, and a program that is ended
// when the test ends, whatever happened.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>

#include "driver/app_driver.h"
#include "driver/wine_registry.h"
#include "platform/text.h"
#include "windows/control_ids.h"

namespace e2e {

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramRegistry();
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    testName_ = name;
    folder_ = std::make_unique<TempFolder>(name);
  }

  void TearDown() override {
    app_.Kill();
    ResetProgramRegistry();
  }

  const std::string& appFolder() const { return folder_->path(); }
  std::string AppFile(const std::string& name) const { return *folder_ / name; }

  // Installs and starts the program and waits for its splash window.
  HWND StartProgram(const std::optional<std::string>& refDat = App::DefaultRefDat()) {
    App::Install(appFolder(), refDat);
    if (!app_.Start(appFolder())) return nullptr;
    return app_.WaitForSplash();
  }

  // The main window once it is visible.
  HWND VisibleMainWindow(int timeoutMs = 10000) {
    HWND main = nullptr;
    WaitUntil([&] { return (main = app_.MainWindow()) != nullptr && IsWindowVisible(main); }, timeoutMs);
    return main;
  }

  // Starts the program, closes its splash window with its start button and
  // returns the main window once it is the active one (nullptr otherwise).
  HWND StartToActiveMainWindow(const std::optional<std::string>& refDat = App::DefaultRefDat()) {
    HWND splash = StartProgram(refDat);
    if (splash == nullptr) return nullptr;
    Click(Child(splash, ids::SplashStart));
    if (!WaitUntil([&] { return !IsWindow(splash); })) return nullptr;
    HWND main = VisibleMainWindow();
    if (main == nullptr || !WaitUntil([&] { return GetForegroundWindow() == main; })) return nullptr;
    return main;
  }

  std::string testName_;
  std::unique_ptr<TempFolder> folder_;
  App app_;
};

}  // namespace e2e
