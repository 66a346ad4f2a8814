#include "windows/main_window_layout.h"

#include <iterator>

#include "windows/control_ids.h"
#include "windows/tab_layout.h"

namespace windows {

const char* const kTabCaptions[6] = {"Status", "Scan", "Quarantine", "Updates", "Settings", "About"};

std::vector<toolkit::ControlRow> MainWindowControls(std::vector<std::vector<toolkit::ControlRow>> pages) {
  using K = toolkit::ControlKind;
  std::vector<toolkit::ControlRow> rows = {
      {ids::MainBanner, K::Picture, {0, 0, 7215, 1575}, ""},
      toolkit::ControlRow{ids::MainTabs, K::Tabs, kTabsTwips, ""}.WithHelp(),
  };
  for (std::vector<toolkit::ControlRow>& page : pages) {
    rows.insert(rows.end(), std::make_move_iterator(page.begin()), std::make_move_iterator(page.end()));
  }
  rows.push_back({ids::MainDriveList, K::HiddenList, {4800, 2640, 1815, 315}, ""});
  return rows;
}

}  // namespace windows
