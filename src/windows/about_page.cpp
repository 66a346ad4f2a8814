#include "windows/about_page.h"

#include "core/program_identity.h"
#include "platform/files.h"
#include "platform/system.h"
#include "toolkit/controls.h"
#include "windows/about_texts.h"

namespace windows {

void AboutPage::FillTexts() {
  toolkit::SetText(Control(ids::AboutName), core::VersionedCaption());
  toolkit::SetText(Control(ids::AboutProgramInfo), kAboutProgramInfo);
  toolkit::SetText(Control(ids::AboutAddress), kAboutAddress);
  toolkit::SetText(Control(ids::AboutLegalNotice), kAboutLegalNotice);
  toolkit::SetText(Control(ids::AboutWebAddress), core::kWebAddress);
}

bool AboutPage::OnCommand(int id, int code) {
  switch (id) {
    case ids::AboutHelpButton:
      OnHelpClicked();
      return true;
    case ids::AboutWebAddress:
      if (code == STN_CLICKED) OnWebAddressClicked();
      return true;
    default:
      return false;
  }
}

void AboutPage::OnHelpClicked() { platform::ShellOpen(hwnd(), platform::AppPath("index.html")); }

void AboutPage::OnWebAddressClicked() { platform::OpenDocument(core::kWebAddress); }

bool AboutPage::OnSetCursor(HWND control) {
  if (!IsWebAddress(control)) return false;
  // The hand pointer is missing before Windows 2000; the arrow stands in.
  HCURSOR hand = LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));
  SetCursor(hand != nullptr ? hand : LoadCursorW(nullptr, IDC_ARROW));
  return true;
}

}  // namespace windows
