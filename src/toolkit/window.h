// Base for the program's top-level windows: one static window procedure that
// finds the C++ object behind the handle and forwards every message to it.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "toolkit/twips.h"

namespace toolkit {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }
  bool Exists() const { return hwnd_ != nullptr; }

 protected:
  // Registers the class on first use; later calls do nothing. `style` adds
  // class styles such as CS_NOCLOSE.
  static void RegisterWindowClass(const wchar_t* className, HICON icon, HICON smallIcon, HBRUSH background,
                                  UINT style = 0);
  // Creates the window; the object receives messages from WM_NCCREATE on.
  HWND CreateTopLevel(const wchar_t* className, const std::string& caption, DWORD style, DWORD exStyle, int x, int y,
                      int width, int height, HWND owner);
  // Creates the window centred on the work area of the primary screen.
  HWND CreateCentred(const wchar_t* className, const std::string& caption, DWORD style, DWORD exStyle, SIZE outer,
                     HWND owner);
  void DestroyNow();

  // Binds a handler to the command id of a control or menu item.
  void BindCommand(int id, std::function<void()> handler);
  // Runs the handler bound to `id`; false when none is.
  bool RunCommand(int id);

  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
  std::map<int, std::function<void()>> commands_;
};

// The outer size of a window with the given styles whose client area is
// `client` (in twips) at the screen's resolution `dpi`.
SIZE OuterSizeForClient(const TwipsRect& client, int dpi, DWORD style, DWORD exStyle);

// True for a top-level window of one of this program's own forms; message
// boxes and menus are not forms.
bool IsProgramForm(HWND hwnd);

// Enter in a window that is no dialog arrives as IDOK from no control: it
// presses the push button that has the focus, as it would in a dialog
// (true), and does nothing elsewhere (true as well). False for any other
// command.
bool PressFocusedButtonOnEnter(HWND window, WPARAM wParam, LPARAM lParam);

// Lets a window's controls handle Tab, arrow keys, Enter, Esc and Alt
// mnemonics; true when the message was used.
bool RouteDialogKeys(HWND window, MSG& msg);

// On a window's deactivation (WM_ACTIVATE with WA_INACTIVE), keeps the
// control of its own that had the focus in `lastFocus`, for FocusControl
// when the window is active again.
void NoteFocusOnLeaving(HWND window, WPARAM activation, HWND& lastFocus);
// Focuses `preferred` when it is a visible, enabled control of `window`,
// and `fallback` otherwise; a window coming back to the front gives the
// keyboard back to where the user left it.
void FocusControl(HWND window, HWND preferred, HWND fallback);

// Removes the last two items of a window's system menu (the separator and
// Close on a standard window), which also disables its close box and Alt+F4.
void RemoveCloseMenuItems(HWND hwnd);

}  // namespace toolkit
