// The texts a scan produces: detection and report lines, the shortened
// folder shown while scanning, report file names and contents, and the scan
// roots of a full scan.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/detection.h"

namespace core {

// CR LF "Adware found >" and the detection's path.
std::string ReportLine(const Detection& detection);

// The folder path of a scan location: blanks at both ends removed, no final
// "\" except for a drive root ("C:\").
std::string FolderPathOf(std::string_view location);
// The path as shown while scanning: whole up to 80 characters, otherwise
// its start up to and including the character after the first "\", "...",
// and its last component with the "\" in front ("C:\W...\deep"). Characters
// are counted, not bytes, and none is cut in two.
std::string ShortenForLabel(std::string_view path);

// A full scan walks the root of every entry of the drive list in list
// order; each entry starts with a drive letter and a colon ("c:",
// "d: [DATA]"). Floppy drives are passed over: walking one asks for a disk
// and rarely finds anything; on most machines the first entry is the system
// drive, which must be scanned.
std::vector<std::string> FullScanRoots(const std::vector<std::string>& driveEntries,
                                       const std::function<bool(const std::string&)>& isFloppy);

// Seconds since midnight as single precision in their shortest general form
// (at most seven significant digits), with the user's decimal separator.
std::string FormatSeconds(float seconds, std::string_view decimalSeparator);
// "<year>-<month>-<day><seconds>.log", month and day without leading zeros;
// characters of the seconds that no file name can hold become ".".
std::string ReportFileName(int year, int month, int day, std::string_view secondsText);
// The report file's text: the collected lines (or "NO Adware found..."), the
// "Test Run : <date> at <time>" line and one empty line.
std::string ReportContent(std::string_view reportText, std::string_view date, std::string_view time);

}  // namespace core
