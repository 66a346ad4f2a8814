// The dated report a scan run leaves in the Reports folder, and the report
// a check from the command line writes where it is told.
#pragma once

#include <string>

namespace features {

struct ReportWrite {
  bool written = false;
  std::string path;
  std::string error;  // the system's description when not written
};

// Writes the report for the collected report lines under the first free
// name of its time ("2004-7-15313.5.log", then "2004-7-15313.5 (2).log"),
// never over an earlier report. A report that cannot be written leaves no
// partial file behind.
ReportWrite WriteScanReport(const std::string& reportText);

// The same report, written to `path` or, when that file exists, to the first
// free numbered name beside it ("check (2).log").
ReportWrite WriteScanReportAs(const std::string& path, const std::string& reportText);
// A line saying why there is no report, written the same way.
ReportWrite WriteReportMessageAs(const std::string& path, const std::string& message);

}  // namespace features
