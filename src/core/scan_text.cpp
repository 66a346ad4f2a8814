#include "core/scan_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/paths.h"

namespace core {

std::string ReportLine(const Detection& detection) { return "\r\nAdware found >" + detection.path; }

std::string FolderPathOf(std::string_view location) {
  const size_t first = location.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::string();
  const size_t last = location.find_last_not_of(' ');
  return WithoutTrailingSeparators(location.substr(first, last - first + 1));
}

namespace {

// UTF-8: every byte of a character but its first is 10xxxxxx.
bool StartsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (char byte : text) count += StartsCharacter(byte) ? 1 : 0;
  return count;
}

// The byte position just past the character that starts at `at`.
size_t PastCharacter(std::string_view text, size_t at) {
  size_t end = at + 1;
  while (end < text.size() && !StartsCharacter(text[end])) ++end;
  return end;
}

}  // namespace

std::string ShortenForLabel(std::string_view path) {
  if (CharacterCount(path) <= 80) return std::string(path);
  const size_t firstSlash = path.find('\\');
  const size_t lastSlash = path.rfind('\\');
  if (firstSlash == std::string_view::npos) return std::string(path);
  // The character after the first "\" stays too, so a drive path keeps the
  // first letter of its top folder ("C:\W...\deep").
  std::string shown(path.substr(0, PastCharacter(path, firstSlash + 1)));
  shown += "...";
  shown += path.substr(lastSlash);
  return shown;
}

std::vector<std::string> FullScanRoots(const std::vector<std::string>& driveEntries,
                                       const std::function<bool(const std::string&)>& isFloppy) {
  std::vector<std::string> roots;
  for (const std::string& entry : driveEntries) {
    if (entry.size() < 2 || isFloppy(entry)) continue;
    roots.push_back(entry.substr(0, 2) + "\\");
  }
  return roots;
}

std::string FormatSeconds(float seconds, std::string_view decimalSeparator) {
  char text[64] = "0";
  for (int digits = 1; digits <= 7; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(seconds));
    if (static_cast<float>(std::strtod(text, nullptr)) == seconds) break;
  }
  std::string result = text;
  if (result.find('e') != std::string::npos) {
    // Seconds of a day never need an exponent; tiny fractions are written out.
    std::snprintf(text, sizeof text, "%.7f", static_cast<double>(seconds));
    result = text;
    while (result.back() == '0') result.pop_back();
    if (result.back() == '.') result.pop_back();
  }
  const size_t point = result.find('.');
  if (point != std::string::npos) result.replace(point, 1, decimalSeparator);
  return result;
}

std::string ReportFileName(int year, int month, int day, std::string_view secondsText) {
  // The user's decimal separator may be any text, even "\\" or ":", which
  // no file name can hold: such characters become ".".
  std::string seconds(secondsText);
  for (char& c : seconds) {
    if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
      c = '.';
    }
  }
  return std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day) + seconds + ".log";
}

std::string ReportContent(std::string_view reportText, std::string_view date, std::string_view time) {
  std::string text = reportText.empty() ? std::string("NO Adware found...\r\n") : std::string(reportText);
  text += "\r\nTest Run : ";
  text += date;
  text += " at ";
  text += time;
  text += "\r\n\r\n";
  return text;
}

}  // namespace core
