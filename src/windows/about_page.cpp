#include "windows/about_page.h"

#include "core/program_identity.h"
#include "platform/files.h"
#include "platform/system.h"
#include "toolkit/controls.h"
#include "windows/about_texts.h"
#include "windows/tab_layout.h"

namespace windows {

void AboutPage::FillTexts() {
  toolkit::SetText(Control(ids::AboutName), core::VersionedCaption());
  toolkit::SetText(Control(ids::AboutProgramInfo), kAboutProgramInfo);
  toolkit::SetText(Control(ids::AboutAddress), kAboutAddress);
  toolkit::SetText(Control(ids::AboutLegalNotice), kAboutLegalNotice);
  toolkit::SetText(Control(ids::AboutWebAddress), core::kWebAddress);
}

std::vector<toolkit::ControlRow> AboutPage::Rows(std::function<void()> checkForUpdates) {
  using K = toolkit::ControlKind;
  using F = toolkit::FontKind;
  using Row = toolkit::ControlRow;
  return {
      {ids::AboutLogo, K::Picture, OnTab({120, 480, 855, 3735}), "", tabs::About},
      {ids::AboutName, K::Label, OnTab({1080, 480, 5775, 255}), "", tabs::About, F::Title},
      {ids::AboutProgramInfo, K::Label, OnTab({1080, 720, 5655, 975}), "", tabs::About},
      {ids::AboutAddress, K::Label, OnTab({1080, 1560, 2895, 1215}), "", tabs::About},
      Row{ids::AboutHelpButton, K::PushButton, OnTab({5280, 1560, 1695, 375}), "&Help", tabs::About}.Runs(
          [this] { OnHelpClicked(); }),
      Row{ids::AboutCheckButton, K::PushButton, OnTab({5280, 2040, 1695, 375}), "&Check for updates...", tabs::About}
          .Runs(std::move(checkForUpdates))
          .WithHelp(),
      Row{ids::AboutWebAddress, K::Label, OnTab({1080, 2760, 2655, 255}), "", tabs::About}.Runs(
          [this] { OnWebAddressClicked(); }),
      {ids::AboutSeparator, K::Separator, OnTab({1080, 3120, 5280, 30}), "", tabs::About},
      {ids::AboutLegalNotice, K::Label, OnTab({1080, 3240, 5655, 855}), "", tabs::About},
  };
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
