// The in-memory reference list: the header record at position 0, then the
// entries, in file order. Owned by the tray window for the whole run.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/definitions_syntax.h"

namespace core {

class DefinitionsList {
 public:
  void Clear() {
    text_.clear();
    items_.clear();
  }
  void Assign(const std::vector<std::string>& records) {
    Clear();
    for (const std::string& record : records) {
      items_.push_back({text_.size(), record.size()});
      text_ += record;
    }
  }
  // Takes the definitions file's text over and parses it where it lies;
  // false, and the list empty, when the text holds more than `maxRecords`
  // records.
  bool AssignTextUpTo(std::string text, size_t maxRecords) {
    if (!ParseItemsInPlaceUpTo(text, maxRecords, items_)) {
      Clear();
      return false;
    }
    text_ = std::move(text);
    return true;
  }

  // The count includes the header record. The list itself has no upper
  // bound; the loader refuses a file beyond the definitions limits.
  size_t Count() const { return items_.size(); }
  std::string_view Record(size_t position) const {
    const ItemSpan& item = items_.at(position);
    return std::string_view(text_).substr(item.offset, item.length);
  }
  // The header record as the status page shows it, or the empty text while
  // nothing is loaded: up to its first line end (a quoted header may hold
  // some) and at most kShownHeaderBytes, never cut inside a character, so
  // that a damaged file cannot bury the page under megabytes of text.
  std::string Header() const {
    if (items_.empty()) return std::string();
    const std::string_view record = Record(0);
    std::string_view header = record.substr(0, std::min(record.find_first_of("\r\n"), kShownHeaderBytes));
    while (header.size() < record.size() && !header.empty() &&
           (static_cast<unsigned char>(record[header.size()]) & 0xC0) == 0x80) {
      header.remove_suffix(1);
    }
    return std::string(header);
  }
  static constexpr size_t kShownHeaderBytes = 200;

 private:
  // Every record, one after the other, and where each lies in it.
  std::string text_;
  std::vector<ItemSpan> items_;
};

// Decodes the raw bytes of the definitions file to UTF-8 text. The file is
// written in the ANSI code page, which the caller converts with
// `ansiToUtf8`; a file that starts with a UTF-8 byte-order mark is taken as
// UTF-8 instead and the mark is dropped.
template <typename AnsiToUtf8>
std::string DecodeDefinitionsBytes(std::string bytes, AnsiToUtf8 ansiToUtf8) {
  constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
  if (std::string_view(bytes).substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    bytes.erase(0, kUtf8Bom.size());
    return bytes;
  }
  // ASCII reads the same in every ANSI code page: the text is kept as it is
  // rather than converted into a second copy.
  const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return bytes;
  // Converted a part at a time, each ending at a line end (which no ANSI code
  // page uses inside a character), so no intermediate form of the whole file
  // is ever held beside it.
  constexpr size_t kPart = 1 << 20;
  std::string text;
  text.reserve(bytes.size());
  std::string_view rest(bytes);
  while (!rest.empty()) {
    size_t end = rest.size() <= kPart ? std::string_view::npos : rest.find('\n', kPart);
    end = end == std::string_view::npos ? rest.size() : end + 1;
    text += ansiToUtf8(rest.substr(0, end));
    rest.remove_prefix(end);
  }
  return text;
}

}  // namespace core
