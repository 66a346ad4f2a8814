// Control and command identifiers: one stable list used by the windows and
// by the end-to-end tests that drive them.
#pragma once

// For tests: the tray window answers this registered message with a global
// atom holding the title (wParam 0) or the text (1) of the last balloon the
// shell took, 0 when there was none; the caller deletes the atom.
constexpr const wchar_t* kLastBalloonMessage = L"TallowickParawardenLastBalloon";

namespace ids {

enum : int {
  // Main window, window level.
  MainBanner = 1001,
  MainTabs = 1002,
  MainStatusBar = 1003,
  MainDriveList = 1005,

  // Status tab.
  StatusFrame = 1100,
  StatusDefinitionsCaption,
  StatusProtectionCaption,
  StatusLastScanCaption,
  StatusRemovedCaption,
  StatusScansCaption,
  StatusQuarantineCaption,
  StatusDefinitionsValue,
  StatusProtectionValue,
  StatusLastScanValue,
  StatusRemovedValue,
  StatusScansValue,
  StatusQuarantineValue,

  // Scan tab.
  ScanModeFrame = 1200,
  ScanFullOption,
  ScanQuickOption,
  ScanNowButton,

  // Quarantine tab.
  QuarantineList = 1300,
  QuarantineCountLabel,
  QuarantineSelectAllButton,
  QuarantineDeselectAllButton,
  QuarantineDeleteButton,

  // Updates tab.
  UpdatesFrame = 1400,
  UpdatesText,
  UpdatesCheckButton,

  // Settings tab.
  SettingsFrame = 1500,
  SettingsLoadOnStartup,
  SettingsScanOnStartup,
  SettingsCheckUpdates,
  SettingsSaveReports,
  SettingsShowMainWindow,
  SettingsSaveButton,
  SettingsScheduleFrame,
  SettingsScheduleFrequency,
  SettingsScheduleDayLabel,
  SettingsScheduleDay,
  SettingsScheduleTimeLabel,
  SettingsScheduleTime,
  SettingsScheduleFull,
  SettingsScheduleQuick,
  SettingsGuard,
  SettingsExclusionsButton,
  SettingsPolicyNote,

  // About tab.
  AboutLogo = 1600,
  AboutName,
  AboutProgramInfo,
  AboutAddress,
  AboutHelpButton,
  AboutCheckButton,
  AboutWebAddress,
  AboutSeparator,
  AboutLegalNotice,

  // Splash window.
  SplashPublisher = 2001,
  SplashVersion,
  SplashAction,
  SplashStart,
  SplashLicense,
  SplashExit,

  // Scan window.
  ScanWindowFolderFrame = 4001,
  ScanWindowFolder,
  ScanWindowFoundCaption,
  ScanWindowDetections,
  ScanWindowFoundCount,
  ScanWindowScannedCount,
  ScanWindowAbort,
  ScanWindowExit,
  ScanWindowQuarantine,

  // Tray menu.
  TrayShow = 3001,
  TrayAbout,
  TrayExit,
  TrayGuard,

  // Guard window.
  GuardWindowCaption = 6001,
  GuardWindowFindings,
  GuardWindowMissed,
  GuardWindowScan,
  GuardWindowQuarantine,
  GuardWindowIgnore,
  GuardWindowClose,

  // Download window.
  DownloadMessage = 5001,

  // Exclusions window.
  ExclusionsCaption = 6001,
  ExclusionsList,
  ExclusionsRemove,
  ExclusionsClose,
  ExclusionsAddFolder,
  ExclusionsAddFile,
  ExclusionsPolicyCaption,
  ExclusionsPolicyList,
};

}  // namespace ids

// Tab indexes of the main window.
namespace tabs {
enum : int { Status = 0, Scan = 1, Quarantine = 2, Updates = 3, Settings = 4, About = 5 };
}
