// The dated report a scan run leaves in the Reports folder.
#pragma once

#include <windows.h>

#include <string>

// Writes the report for the collected report lines. A report that cannot be
// written leaves no partial file behind and is reported in a message box.
void WriteScanReport(HWND owner, const std::string& reportText);
