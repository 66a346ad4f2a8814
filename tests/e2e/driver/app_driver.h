// Drives the real Parawarden.exe like a user: installs it into a fresh
// application folder, starts it, finds its windows by caption and class,
// presses buttons, reads labels and lists, answers message boxes and uses
// the tray icon's callback.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace e2e {

// Polls `condition` until it holds or `timeoutMs` passes.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

// A folder on C: inside the test prefix, emptied on creation and removed
// with everything in it at the end.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name);
  ~TempFolder();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

void RemoveTree(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::optional<std::string> ReadFileText(const std::string& path);
bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);

// Window reading and pressing, across processes.
std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);
HWND Child(HWND parent, int id);
bool IsChecked(HWND checkBoxOrOption);
void Click(HWND button);
std::vector<std::string> ListItems(HWND list);
int SelectedTab(HWND tabs);
std::vector<std::string> TabCaptions(HWND tabs);
// Types a key on the keyboard, optionally with Alt held, into whichever
// window has the focus.
void PressKey(WORD virtualKey, bool withAlt = false);
// Clicks a tab of a tab control with the mouse, which also gives the tab
// control the keyboard focus.
void ClickTab(HWND tabs, int index);
// Clicks a control with the mouse (it takes the focus, as a button does).
void ClickWithMouse(HWND control);
// Gives the foreground to a window of the test's own, as another application
// would take it, then back to `window`; true once `window` has it again.
bool ActivateAfterAnotherApplication(HWND window);
// The control of a window's thread that has the keyboard focus.
HWND FocusedControl(HWND window);
// The tooltip text the program's tooltip windows hold for a control.
std::string ToolTipText(HWND control);
// The screen's resolution for programs started from now on (read by each
// process at its start); nullopt restores the default.
void SetScreenDpi(std::optional<int> dpi);
// The text of a message box (its Static child 0xFFFF).
std::string MessageBoxText(HWND box);
void AnswerMessageBox(HWND box, int buttonId);

class App {
 public:
  // Installs the program with `refDat` as its definitions (no ref.dat when
  // absent) into `folder`, along with index.html and eula.txt.
  static void Install(const std::string& folder, const std::optional<std::string>& refDat);
  static std::string DefaultRefDat();

  App() = default;
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Starts folder\Parawarden.exe; false if the process could not start.
  bool Start(const std::string& folder, const std::string& arguments = std::string());
  // Starts any program by its full path, in its own folder.
  bool StartExe(const std::string& exePath, const std::string& arguments = std::string());
  DWORD pid() const { return pid_; }
  bool WaitForExit(int timeoutMs = 10000);
  bool HasExited() const;
  // The process's exit code once it has ended.
  std::optional<DWORD> ExitCode() const;
  void Kill();

  // Top-level windows of the program's process.
  std::vector<HWND> TopLevelWindows(bool visibleOnly) const;
  HWND FindTopLevel(const std::string& className, const std::optional<std::string>& caption) const;
  HWND WaitForTopLevel(const std::string& className, const std::optional<std::string>& caption,
                       int timeoutMs = 10000) const;
  HWND WaitForMessageBox(int timeoutMs = 10000) const;
  HWND WaitForVisible(HWND window, int timeoutMs = 10000) const;

  HWND MainWindow() const;      // created or not, visible or not
  HWND SplashWindow() const;
  HWND TrayWindow() const;
  // Waits until start-up has finished: the splash window is visible.
  HWND WaitForSplash(int timeoutMs = 15000) const;

  // Sends the tray icon's callback with a mouse event code.
  void TrayEvent(UINT mouseMessage) const;
  // Opens the tray menu and chooses the item at `index` with the keyboard.
  bool ChooseTrayMenuItem(int index) const;

 private:
  platform::UniqueHandle process_;
  DWORD pid_ = 0;
};

}  // namespace e2e
