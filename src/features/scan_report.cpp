#include "features/scan_report.h"

#include "core/scan_text.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"

namespace features {

ReportWrite WriteScanReport(const std::string& reportText) {
  const platform::LocalNow contentTime = platform::Now();
  const std::string content =
      platform::Utf8ToAnsi(core::ReportContent(reportText, contentTime.shortDate, contentTime.longTime));
  const platform::LocalNow nameTime = platform::Now();
  const std::string folder = platform::AppPath("Reports");
  ReportWrite result;
  result.path = folder + "\\" +
                core::ReportFileName(nameTime.year, nameTime.month, nameTime.day,
                                     core::FormatSeconds(nameTime.secondsSinceMidnight, platform::DecimalSeparator()));
  result.written = platform::WriteFileAtomically(result.path, content, result.error);
  if (result.written) return result;
  // The folder may have been removed while the program ran.
  platform::CreateFolder(folder);
  result.error.clear();
  result.written = platform::WriteFileAtomically(result.path, content, result.error);
  return result;
}

}  // namespace features
