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
      {ids::MainBanner, K::Picture, {0, 0, 7215, 1575}, ""},
      {ids::MainTabs, K::Tabs, kTabs, ""},

      {ids::StatusFrame, K::Frame, OnTab(kStatusFrame), "Program Status", tabs::Status, F::Bold},
      {ids::StatusDefinitionsCaption, K::Label, StatusCaption(0), "Reference File:", tabs::Status},
      {ids::StatusDefinitionsValue, K::Label, StatusValue(0), "Not Loaded", tabs::Status, F::Bold},
      {ids::StatusProtectionCaption, K::Label, StatusCaption(1), "Protection against:", tabs::Status},
      {ids::StatusProtectionValue, K::Label, StatusValue(1), "Not Loaded", tabs::Status, F::Bold},
      {ids::StatusLastScanCaption, K::Label, StatusCaption(2), "Last System scan:", tabs::Status},
      {ids::StatusLastScanValue, K::Label, StatusValue(2), "Never", tabs::Status, F::Bold},
      {ids::StatusRemovedCaption, K::Label, StatusCaption(3), "Total objects removed:", tabs::Status},
      {ids::StatusRemovedValue, K::Label, StatusValue(3), "0", tabs::Status, F::Bold},
      {ids::StatusScansCaption, K::Label, StatusCaption(4), "Total scans:", tabs::Status},
      {ids::StatusScansValue, K::Label, StatusValue(4), "0", tabs::Status, F::Bold},
      {ids::StatusQuarantineCaption, K::Label, StatusCaption(5), "Objects in quarantine:", tabs::Status},
      {ids::StatusQuarantineValue, K::Label, StatusValue(5), "0", tabs::Status, F::Bold},

      {ids::ScanModeFrame, K::Frame, OnTab(kScanFrame), "Choose Scan Mode", tabs::Scan, F::Bold},
      {ids::ScanFullOption, K::OptionFirst, InFrame(kScanFrame, {720, 600, 3015, 255}), "Full System Scan", tabs::Scan},
      {ids::ScanQuickOption, K::Option, InFrame(kScanFrame, {720, 1080, 3015, 255}), "Quick Scan", tabs::Scan},
      {ids::ScanNowButton, K::PushButton, OnTab({5040, 3720, 1215, 375}), "&Scan Now", tabs::Scan},

      {ids::QuarantineList, K::ListMulti, OnTab({240, 600, 6615, 2955}), "", tabs::Quarantine, F::Normal,
       "Click CTRL while selecting files, if you wish to select individual files."},
      {ids::QuarantineCountLabel, K::Label, OnTab({240, 3840, 2175, 255}), "", tabs::Quarantine},
      {ids::QuarantineSelectAllButton, K::PushButton, OnTab({2760, 3720, 1335, 375}), "&Select All", tabs::Quarantine},
      {ids::QuarantineDeselectAllButton, K::PushButton, OnTab({4200, 3720, 1335, 375}), "D&e-Select All", tabs::Quarantine},
      {ids::QuarantineDeleteButton, K::PushButton, OnTab({5640, 3720, 1335, 375}), "&Delete Selected", tabs::Quarantine},

      {ids::UpdatesFrame, K::Frame, OnTab(kUpdatesFrame), "Check for updates", tabs::Updates},
      {ids::UpdatesText, K::Label, InFrame(kUpdatesFrame, {240, 600, 3015, 1335}),
       "Press the button to check if new adware definitions have been released. If new definitions are found the "
       "software will download the definitions automatically and prompt you once completed.",
       tabs::Updates},
      {ids::UpdatesCheckButton, K::PushButton, InFrame(kUpdatesFrame, {3600, 960, 1575, 375}), "&Check Now",
       tabs::Updates},

      {ids::SettingsFrame, K::Frame, OnTab(kPrefsFrame), "Select your preferences", tabs::Settings},
      {ids::SettingsLoadOnStartup, K::CheckBox, InFrame(kPrefsFrame, {360, 480, 3975, 255}), "Load on Startup", tabs::Settings},
      {ids::SettingsScanOnStartup, K::CheckBox, InFrame(kPrefsFrame, {360, 960, 4455, 255}), "Auto Scan on Startup",
       tabs::Settings},
      {ids::SettingsCheckUpdates, K::CheckBox, InFrame(kPrefsFrame, {360, 1440, 4815, 375}),
       "Check for updates Automatically", tabs::Settings},
      {ids::SettingsSaveReports, K::CheckBox, InFrame(kPrefsFrame, {360, 1920, 2535, 255}), "Save Scan Results to File",
       tabs::Settings},
      {ids::SettingsShowMainWindow, K::CheckBox, InFrame(kPrefsFrame, {360, 2400, 2535, 255}), "Show Main Window on Startup",
       tabs::Settings},
      {ids::SettingsSaveButton, K::PushButton, OnTab({5520, 3720, 1215, 375}), "&Save Settings", tabs::Settings},

      {ids::AboutLogo, K::Picture, OnTab({120, 480, 855, 3735}), "", tabs::About},
      {ids::AboutName, K::Label, OnTab({1080, 480, 5775, 255}), "", tabs::About, F::Title},
      {ids::AboutProgramInfo, K::Label, OnTab({1080, 720, 5655, 975}), "", tabs::About},
      {ids::AboutAddress, K::Label, OnTab({1080, 1560, 2895, 1215}), "", tabs::About},
      {ids::AboutHelpButton, K::PushButton, OnTab({5280, 1560, 1695, 375}), "&Help", tabs::About},
      {ids::AboutCheckButton, K::PushButton, OnTab({5280, 2040, 1695, 375}), "&Check for updates...", tabs::About},
      {ids::AboutWebAddress, K::Label, OnTab({1080, 2760, 2655, 255}), "", tabs::About},
      {ids::AboutSeparator, K::Separator, OnTab({1080, 3120, 5280, 30}), "", tabs::About},
      {ids::AboutLegalNotice, K::Label, OnTab({1080, 3240, 5655, 855}), "", tabs::About},

      {ids::MainQuarantineFiles, K::HiddenList, {4680, 2280, 1335, 285}, ""},
      {ids::MainDriveList, K::HiddenList, {4800, 2640, 1815, 315}, ""},
  };
}

}  // namespace windows
