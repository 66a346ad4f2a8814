#include "core/setting_values.h"

#include <cctype>
#include <cstdlib>

namespace core {

double ReadNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::string number;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.push_back(text[i++]);
  const auto digits = [&] {
    size_t count = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
      number.push_back(text[i++]);
      ++count;
    }
    return count;
  };
  size_t mantissaDigits = digits();
  if (i < text.size() && text[i] == '.') {
    number.push_back(text[i++]);
    mantissaDigits += digits();
  }
  if (mantissaDigits == 0) return 0.0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    const size_t mark = i;
    const size_t kept = number.size();
    number.push_back(text[i++]);
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.push_back(text[i++]);
    if (digits() == 0) {
      i = mark;
      number.resize(kept);
    }
  }
  // The collected text holds only "C" locale characters, so strtod is safe
  // whatever the user's decimal separator is.
  return std::strtod(number.c_str(), nullptr);
}

bool ReadsAsOn(std::string_view text) { return ReadNumber(text) == 1.0; }

bool PolicyMaySet(std::string_view section, std::string_view key) {
  if (section == kUpdatesSection) return key == kUpdateServer;
  if (section != kSection) return false;
  for (const char* settable : {kGuard, kScheduleFrequency, kScheduleWeekday, kScheduleMinute, kScheduleFullScan}) {
    if (key == settable) return true;
  }
  return false;
}

std::string RunValueData(std::string_view modulePath) {
  const size_t slash = modulePath.find_last_of("\\/");
  const std::string_view folder = slash == std::string_view::npos ? std::string_view() : modulePath.substr(0, slash);
  std::string_view name = slash == std::string_view::npos ? modulePath : modulePath.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  // Quoted: unquoted, a blank in the path makes the log-on start the part
  // before it ("C:\pw test\Parawarden.exe" would start "C:\pw.exe").
  return "\"" + std::string(folder) + "\\" + std::string(name) + ".exe\"";
}

}  // namespace core
