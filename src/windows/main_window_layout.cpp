// The main window's controls, in twips, in tab order. Controls on a tab are
// placed relative to the tab control and controls in a frame relative to the
// frame; Within() turns both into window coordinates.
#include "windows/main_window_layout.h"

#include "windows/control_ids.h"

namespace windows {
namespace {

constexpr toolkit::TwipsRect kTabs = {120, 1680, 7095, 4335};
constexpr toolkit::TwipsRect kStatusFrame = {240, 480, 6495, 3615};
constexpr toolkit::TwipsRect kScanFrame = {840, 1080, 4575, 2295};
constexpr toolkit::TwipsRect kUpdatesFrame = {600, 1200, 5895, 2295};
constexpr toolkit::TwipsRect kPrefsFrame = {840, 720, 5295, 2895};

toolkit::TwipsRect OnTab(const toolkit::TwipsRect& rect) { return toolkit::Within(kTabs, rect); }
toolkit::TwipsRect InFrame(const toolkit::TwipsRect& frame, const toolkit::TwipsRect& rect) { return toolkit::Within(kTabs, toolkit::Within(frame, rect)); }

constexpr int kStatusTops[] = {960, 1320, 1680, 2040, 2400, 2760};
toolkit::TwipsRect StatusCaption(int row) { return InFrame(kStatusFrame, {360, kStatusTops[row], 2760, 195}); }
toolkit::TwipsRect StatusValue(int row) { return InFrame(kStatusFrame, {3240, kStatusTops[row], 3120, 195}); }

}  // namespace

const char* const kTabCaptions[6] = {"Status", "Scan", "Quarantine", "Updates", "Settings", "About"};

std::vector<toolkit::ControlRow> MainWindowControls() {
  using K = toolkit::ControlKind;
  using F = toolkit::FontKind;
  return {
      {ids::Picture1, K::Picture, {0, 0, 7215, 1575}, ""},
      {ids::SSTab1, K::Tabs, kTabs, ""},

      {ids::fraStatus, K::Frame, OnTab(kStatusFrame), "Program Status", tabs::Status, F::Bold},
      {ids::lblRefFileCaption, K::Label, StatusCaption(0), "Reference File:", tabs::Status},
      {ids::lblRefFilename, K::Label, StatusValue(0), "Not Loaded", tabs::Status, F::Bold},
      {ids::lblProtectionCaption, K::Label, StatusCaption(1), "Protection against:", tabs::Status},
      {ids::lbladwarerefcnt, K::Label, StatusValue(1), "Not Loaded", tabs::Status, F::Bold},
      {ids::lblLastScanCaption, K::Label, StatusCaption(2), "Last System scan:", tabs::Status},
      {ids::lblStatus_System, K::Label, StatusValue(2), "Never", tabs::Status, F::Bold},
      {ids::lblRemovedCaption, K::Label, StatusCaption(3), "Total objects removed:", tabs::Status},
      {ids::lblStatus_Removed, K::Label, StatusValue(3), "0", tabs::Status, F::Bold},
      {ids::lblScansCaption, K::Label, StatusCaption(4), "Total scans:", tabs::Status},
      {ids::lblStatus_Total, K::Label, StatusValue(4), "0", tabs::Status, F::Bold},
      {ids::lblQuarantineCaption, K::Label, StatusCaption(5), "Objects in quarantine:", tabs::Status},
      {ids::lblStatus_Quarintine, K::Label, StatusValue(5), "0", tabs::Status, F::Bold},

      {ids::fraScanMode, K::Frame, OnTab(kScanFrame), "Choose Scan Mode", tabs::Scan, F::Bold},
      {ids::optfullscan, K::OptionFirst, InFrame(kScanFrame, {720, 600, 3015, 255}), "Full System Scan", tabs::Scan},
      {ids::optquickscan, K::Option, InFrame(kScanFrame, {720, 1080, 3015, 255}), "Quick Scan", tabs::Scan},
      {ids::cmdstartscan, K::PushButton, OnTab({5040, 3720, 1215, 375}), "&Scan Now", tabs::Scan},

      {ids::FileListQuarantine, K::ListMulti, OnTab({240, 600, 6615, 2955}), "", tabs::Quarantine, F::Normal,
       "Click CTRL while selecting files, if you wish to select individual files."},
      {ids::lblqcnt, K::Label, OnTab({240, 3840, 2175, 255}), "", tabs::Quarantine},
      {ids::cmdselectAll, K::PushButton, OnTab({2760, 3720, 1335, 375}), "&Select All", tabs::Quarantine},
      {ids::cmddeselect, K::PushButton, OnTab({4200, 3720, 1335, 375}), "D&e-Select All", tabs::Quarantine},
      {ids::cmdPurgeSelected, K::PushButton, OnTab({5640, 3720, 1335, 375}), "&Delete Selected", tabs::Quarantine},

      {ids::fraUpdates, K::Frame, OnTab(kUpdatesFrame), "Check for updates", tabs::Updates},
      {ids::lblUpdatesText, K::Label, InFrame(kUpdatesFrame, {240, 600, 3015, 1335}),
       "Press the button to check if new adware definitions have been released. If new definitions are found the "
       "software will download the definitions automatically and prompt you once completed.",
       tabs::Updates},
      {ids::cmdcheckforupdates, K::PushButton, InFrame(kUpdatesFrame, {3600, 960, 1575, 375}), "&Check Now",
       tabs::Updates},

      {ids::fraPrefs, K::Frame, OnTab(kPrefsFrame), "Select your preferences", tabs::Settings},
      {ids::chkrunonstart, K::CheckBox, InFrame(kPrefsFrame, {360, 480, 3975, 255}), "Load on Startup", tabs::Settings},
      {ids::chkscanonstart, K::CheckBox, InFrame(kPrefsFrame, {360, 960, 4455, 255}), "Auto Scan on Startup",
       tabs::Settings},
      {ids::chkautoupdate, K::CheckBox, InFrame(kPrefsFrame, {360, 1440, 4815, 375}),
       "Check for updates Automatically", tabs::Settings},
      {ids::chkuselog, K::CheckBox, InFrame(kPrefsFrame, {360, 1920, 2535, 255}), "Save Scan Results to File",
       tabs::Settings},
      {ids::chkautoshow, K::CheckBox, InFrame(kPrefsFrame, {360, 2400, 2535, 255}), "Show Main toolkit::Window on Startup",
       tabs::Settings},
      {ids::cmdSavePrefs, K::PushButton, OnTab({5520, 3720, 1215, 375}), "&Save Settings", tabs::Settings},

      {ids::Picture2, K::Picture, OnTab({120, 480, 855, 3735}), "", tabs::About},
      {ids::lblappname, K::Label, OnTab({1080, 480, 5775, 255}), "", tabs::About, F::Title},
      {ids::lblproginfo, K::Label, OnTab({1080, 720, 5655, 975}), "", tabs::About},
      {ids::lbladdress, K::Label, OnTab({1080, 1560, 2895, 1215}), "", tabs::About},
      {ids::cmdhelp, K::PushButton, OnTab({5280, 1560, 1695, 375}), "&Help", tabs::About},
      {ids::CmdCheckForUpdates2, K::PushButton, OnTab({5280, 2040, 1695, 375}), "&Check for updates...", tabs::About},
      {ids::lblurl, K::Label, OnTab({1080, 2760, 2655, 255}), "", tabs::About},
      {ids::Line1, K::Separator, OnTab({1080, 3120, 5280, 30}), "", tabs::About},
      {ids::lblwarning, K::Label, OnTab({1080, 3240, 5655, 855}), "", tabs::About},

      {ids::File1, K::HiddenList, {4680, 2280, 1335, 285}, ""},
      {ids::Drive1, K::HiddenList, {4800, 2640, 1815, 315}, ""},
  };
}

}  // namespace windows
