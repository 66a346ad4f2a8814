// The About tab: the program's name, version and publisher, the help page
// and the web address. Check for updates... belongs to the main window.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "windows/control_ids.h"
#include "windows/page.h"

namespace windows {

class AboutPage : public Page {
 public:
  using Page::Page;

  // The page's controls, in tab order, with their handlers; "Check for
  // updates..." runs `checkForUpdates`.
  std::vector<toolkit::ControlRow> Rows(std::function<void()> checkForUpdates);

  void FillTexts();
  // Opens the help page (also for F1 anywhere in the main window).
  void OnHelpClicked();
  bool IsWebAddress(HWND control) const { return control != nullptr && control == Control(ids::AboutWebAddress); }
  // The hand pointer over the web address; false for any other control.
  bool OnSetCursor(HWND control);

 private:
  void OnWebAddressClicked();
};

}  // namespace windows
