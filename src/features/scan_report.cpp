#include "features/scan_report.h"

#include "core/removal_text.h"
#include "core/scan_text.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"

namespace features {

namespace {

// Reports are read by their users and their tools in the ANSI code page;
// one that names a file the code page cannot spell is written in UTF-8
// with a byte-order mark instead, which Notepad recognises.
std::string ReportBytes(const std::string& text) {
  std::optional<std::string> ansi = platform::Utf8ToAnsiExactly(text);
  return ansi ? *ansi : "\xEF\xBB\xBF" + text;
}

std::string ReportBytesNow(const std::string& reportText) {
  const platform::LocalNow contentTime = platform::Now();
  return ReportBytes(core::ReportContent(reportText, contentTime.shortDate, contentTime.longTime));
}

ReportWrite WriteUnderFreeName(const std::string& firstName, const std::string& bytes) {
  ReportWrite result;
  result.path = firstName;
  const std::optional<std::string> written = platform::WriteNewFileAtomically(
      [&firstName](int number) { return core::NumberedPath(firstName, number); }, bytes, result.error);
  result.written = written.has_value();
  if (written) result.path = *written;
  return result;
}

}  // namespace

ReportWrite WriteScanReportAs(const std::string& path, const std::string& reportText) {
  return WriteUnderFreeName(path, ReportBytesNow(reportText));
}

ReportWrite WriteReportMessageAs(const std::string& path, const std::string& message) {
  return WriteUnderFreeName(path, ReportBytes(message + "\r\n"));
}

ReportWrite WriteScanReport(const std::string& reportText) {
  const std::string content = ReportBytesNow(reportText);
  const platform::LocalNow nameTime = platform::Now();
  const std::string folder = platform::AppPath("Reports");
  // The name has no separator between the day and the seconds, so two
  // reports can get the same name; the later one takes a numbered name.
  const std::string firstName =
      folder + "\\" +
      core::ReportFileName(nameTime.year, nameTime.month, nameTime.day,
                           core::FormatSeconds(nameTime.secondsSinceMidnight, platform::DecimalSeparator()));
  ReportWrite result = WriteUnderFreeName(firstName, content);
  if (!result.written) {
    // The folder may have been removed while the program ran.
    platform::CreateFolder(folder);
    result = WriteUnderFreeName(firstName, content);
  }
  return result;
}

}  // namespace features
