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

}  // namespace

ReportWrite WriteScanReport(const std::string& reportText) {
  const platform::LocalNow contentTime = platform::Now();
  const std::string content =
      ReportBytes(core::ReportContent(reportText, contentTime.shortDate, contentTime.longTime));
  const platform::LocalNow nameTime = platform::Now();
  const std::string folder = platform::AppPath("Reports");
  // The name has no separator between the day and the seconds, so two
  // reports can get the same name; the later one takes a numbered name.
  const std::string firstName =
      folder + "\\" +
      core::ReportFileName(nameTime.year, nameTime.month, nameTime.day,
                           core::FormatSeconds(nameTime.secondsSinceMidnight, platform::DecimalSeparator()));
  const auto nameFor = [&firstName](int number) { return core::NumberedPath(firstName, number); };
  ReportWrite result;
  result.path = firstName;
  std::optional<std::string> written = platform::WriteNewFileAtomically(nameFor, content, result.error);
  if (!written) {
    // The folder may have been removed while the program ran.
    platform::CreateFolder(folder);
    result.error.clear();
    written = platform::WriteNewFileAtomically(nameFor, content, result.error);
  }
  result.written = written.has_value();
  if (written) result.path = *written;
  return result;
}

}  // namespace features
