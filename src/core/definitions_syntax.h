// Reading the definitions file's comma-separated items, and taking a record
// apart into its entry name and description. Pure text functions: the file
// itself is read by the platform layer.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// Splits the file's text into records, one per item, in file order:
// - blanks (spaces, tabs) before an item are skipped;
// - an item that starts with a double quote runs to the next double quote
//   (which may be on a later line); the quotes are dropped, and anything after
//   the closing quote up to the next comma or line end is discarded. A quote
//   that is never closed ends at its own line end, so one damaged line cannot
//   swallow the rest of the definitions;
// - any other item runs to the next comma or line end, and blanks at its end
//   are dropped (no file name ends in a blank);
// - CR LF, a lone LF and a lone CR all end a line; a line holding nothing but
//   blanks yields no record; a comma always introduces one more item;
// - NUL bytes are dropped: they cannot be part of a file name and would cut
//   the record short wherever it is shown.
// The text is UTF-8; only ASCII bytes act as delimiters.

// Where one record lies in a text.
struct ItemSpan {
  size_t offset = 0;
  size_t length = 0;
};

// Parses the records within `text` itself: afterwards the text holds the
// records one after the other and the spans say where each lies, so a large
// file is never held twice. False, with the first `maxRecords` read, when
// the text holds more, so that a file of millions of empty items cannot
// fill memory.
bool ParseItemsInPlaceUpTo(std::string& text, size_t maxRecords, std::vector<ItemSpan>& items);

// Hands each record to `visit` in file order until it returns false; for
// readers that need not keep them all.
using ItemVisitor = std::function<bool(std::string&& item)>;
void ForEachItem(std::string_view text, const ItemVisitor& visit);

// A reference entry is "name|description"; the split is at the first "|".
struct Entry {
  std::string_view name;
  std::string_view description;
};

// Fails (returns false) for a record without "|", which is not an entry.
bool SplitEntry(std::string_view record, Entry& entry);

}  // namespace core
