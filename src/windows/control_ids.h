// Control and command identifiers: one stable list used by the windows and
// by the end-to-end tests that drive them.
#pragma once

namespace ids {

enum : int {
  // Main window, window level.
  Picture1 = 1001,
  SSTab1 = 1002,
  StatusBar1 = 1003,
  File1 = 1004,
  Drive1 = 1005,

  // Status tab.
  fraStatus = 1100,
  lblRefFileCaption,
  lblProtectionCaption,
  lblLastScanCaption,
  lblRemovedCaption,
  lblScansCaption,
  lblQuarantineCaption,
  lblRefFilename,
  lbladwarerefcnt,
  lblStatus_System,
  lblStatus_Removed,
  lblStatus_Total,
  lblStatus_Quarintine,

  // Scan tab.
  fraScanMode = 1200,
  optfullscan,
  optquickscan,
  cmdstartscan,

  // Quarantine tab.
  FileListQuarantine = 1300,
  lblqcnt,
  cmdselectAll,
  cmddeselect,
  cmdPurgeSelected,

  // Updates tab.
  fraUpdates = 1400,
  lblUpdatesText,
  cmdcheckforupdates,

  // Settings tab.
  fraPrefs = 1500,
  chkrunonstart,
  chkscanonstart,
  chkautoupdate,
  chkuselog,
  chkautoshow,
  cmdSavePrefs,

  // About tab.
  Picture2 = 1600,
  lblappname,
  lblproginfo,
  lbladdress,
  cmdhelp,
  CmdCheckForUpdates2,
  lblurl,
  Line1,
  lblwarning,

  // Splash window.
  splashGeneral = 2001,  // lblgeneral
  splashVersion,         // lblversion
  splashAction,          // lblaction
  splashStart,           // Picture2 (start)
  splashLicense,         // Picture4 (licence text)
  splashExit,            // Picture5 (exit)

  // Scan window.
  Frame1 = 4001,
  Label3,
  Label1,
  lstadware,
  lblAdwareFoundCount,
  lblObjectsscannedcount,
  cmdabort,
  cmdExit,
  cmdquarantine,

  // Tray menu.
  mnushow = 3001,
  mnuabout,
  mnuexit,
};

}  // namespace ids

// Tab indexes of the main window.
namespace tabs {
enum : int { Status = 0, Scan = 1, Quarantine = 2, Updates = 3, Settings = 4, About = 5 };
}
