#include "scan/scan_report.h"

#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "scan/scan_text.h"

void WriteScanReport(HWND owner, const std::string& reportText) {
  const platform::LocalNow contentTime = platform::Now();
  const std::string content =
      platform::Utf8ToAnsi(scan::ReportContent(reportText, contentTime.shortDate, contentTime.longTime));
  const platform::LocalNow nameTime = platform::Now();
  const std::string folder = platform::AppPath("Reports");
  const std::string path =
      folder + "\\" +
      scan::ReportFileName(nameTime.year, nameTime.month, nameTime.day,
                           scan::FormatSeconds(nameTime.secondsSinceMidnight, platform::DecimalSeparator()));
  std::string error;
  if (platform::WriteFileAtomically(path, content, error)) return;
  // The folder may have been removed while the program ran.
  platform::CreateFolder(folder);
  if (platform::WriteFileAtomically(path, content, error)) return;
  platform::ShowMessage(owner, "The scan report could not be saved as " + path + "\r\n" + error,
                        MB_OK | MB_ICONEXCLAMATION);
}
