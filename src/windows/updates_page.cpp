#include "windows/updates_page.h"

#include "windows/control_ids.h"
#include "windows/tab_layout.h"

namespace windows {

std::vector<toolkit::ControlRow> UpdatesPage::Rows(std::function<void()> checkForUpdates) {
  using K = toolkit::ControlKind;
  constexpr toolkit::TwipsRect kUpdatesFrame = {600, 1200, 5895, 2295};
  return {
      {ids::UpdatesFrame, K::Frame, OnTab(kUpdatesFrame), "Check for updates", tabs::Updates},
      {ids::UpdatesText, K::Label, InFrame(kUpdatesFrame, {240, 600, 3015, 1335}),
       "Press the button to check if new adware definitions have been released. If new definitions are found the "
       "software will download the definitions automatically and prompt you once completed.",
       tabs::Updates},
      toolkit::ControlRow{ids::UpdatesCheckButton, K::PushButton, InFrame(kUpdatesFrame, {3600, 960, 1575, 375}),
                          "&Check Now", tabs::Updates}
          .Runs(std::move(checkForUpdates))
          .WithHelp(),
  };
}

}  // namespace windows
