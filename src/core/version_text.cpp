#include "core/version_text.h"

#include <cctype>
#include <cstdlib>
#include <utility>

#include "core/definitions_syntax.h"

namespace core {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

bool ParseVersion(std::string_view text, double& version) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  const size_t start = i;
  size_t digits = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && !IsSpace(text[i])) return false;
  // The characters taken are digits and "." only, so strtod reads them the
  // same in every locale.
  version = std::strtod(std::string(text.substr(start, i - start)).c_str(), nullptr);
  return true;
}

std::string ServerVersionText(std::string_view versionFile) {
  std::string first;
  ForEachItem(versionFile, [&](std::string&& item) {
    first = std::move(item);
    return false;
  });
  return first;
}

std::string LocalVersionText(std::string_view definitionsStart) {
  std::string text(definitionsStart.substr(0, 8));
  for (size_t found; (found = text.find("Ver")) != std::string::npos;) text.erase(found, 3);
  return text;
}

Comparison Compare(std::string_view localText, std::string_view serverText) {
  double local = 0;
  double server = 0;
  if (!ParseVersion(localText, local) || !ParseVersion(serverText, server)) return Comparison::Unknown;
  return local < server ? Comparison::Newer : Comparison::UpToDate;
}

bool LooksLikeDefinitions(std::string_view utf8Text, uint64_t maxRecords) {
  // Walked record by record and never kept, so that the check itself stays
  // small whatever the file holds.
  uint64_t count = 0;
  bool headerOk = false;
  bool hasEntry = false;
  ForEachItem(utf8Text, [&](std::string&& record) {
    if (++count > maxRecords) return false;
    if (count == 1) {
      double version = 0;
      headerOk = record.compare(0, 3, "Ver") == 0 && ParseVersion(std::string_view(record).substr(3), version);
      return headerOk;
    }
    hasEntry = hasEntry || record.find('|') != std::string::npos;
    return true;
  });
  return headerOk && hasEntry && count <= maxRecords;
}

std::string BaseAddress(std::string_view configured) {
  size_t end = configured.size();
  while (end > 0 && (configured[end - 1] == '/' || IsSpace(configured[end - 1]))) --end;
  size_t start = 0;
  while (start < end && IsSpace(configured[start])) ++start;
  return std::string(configured.substr(start, end - start));
}

}  // namespace core
