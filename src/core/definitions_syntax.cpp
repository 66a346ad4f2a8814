#include "core/definitions_syntax.h"

#include <utility>

namespace core {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Reads the items and writes each one's characters back into the same text,
// ahead of where it reads: an item never grows, so what is written never
// overtakes what is still to be read, and the text needs no second copy.
class ItemReader {
 public:
  explicit ItemReader(std::string& text) : text_(text) {}

  // Hands each item's place to `visit` as soon as it is read, until the end
  // or until `visit` returns false. What `visit` reads of an item's place is
  // final: later items are written only after it.
  void VisitAll(const std::function<bool(const ItemSpan&)>& visit) {
    Visit(visit);
    text_.resize(out_);
  }

 private:
  void Visit(const std::function<bool(const ItemSpan&)>& visit) {
    while (SkipBlanksAndEmptyLines()) {
      if (!visit(ReadItem())) return;
      // A comma promises one more item on this line, even an empty one.
      while (afterComma_) {
        afterComma_ = false;
        SkipBlanks();
        if (!visit(ReadItem())) return;
      }
    }
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Current() const { return text_[pos_]; }
  void Keep(char c) { text_[out_++] = c; }

  void SkipBlanks() {
    while (!AtEnd() && (IsBlank(Current()) || Current() == '\0')) ++pos_;
  }

  // Leaves the reader on the first character of the next item; false at the
  // end of the text.
  bool SkipBlanksAndEmptyLines() {
    for (;;) {
      SkipBlanks();
      if (AtEnd()) return false;
      if (!IsLineEnd(Current())) return true;
      ConsumeLineEnd();
    }
  }

  void ConsumeLineEnd() {
    if (Current() == '\r') {
      ++pos_;
      if (!AtEnd() && Current() == '\n') ++pos_;
    } else {
      ++pos_;
    }
  }

  // Consumes the comma or line end that ends an item.
  void ConsumeTerminator() {
    if (AtEnd()) return;
    if (Current() == ',') {
      ++pos_;
      afterComma_ = true;
    } else {
      ConsumeLineEnd();
    }
  }

  ItemSpan ReadItem() {
    const size_t start = out_;
    if (!AtEnd() && Current() == '"') {
      ReadQuoted();
    } else {
      ReadPlain();
    }
    return {start, out_ - start};
  }

  void ReadPlain() {
    const size_t start = out_;
    while (!AtEnd() && Current() != ',' && !IsLineEnd(Current())) {
      if (Current() != '\0') Keep(Current());
      ++pos_;
    }
    while (out_ > start && IsBlank(text_[out_ - 1])) --out_;
    ConsumeTerminator();
  }

  void ReadQuoted() {
    const size_t open = pos_++;
    const size_t close = text_.find('"', pos_);
    if (close == std::string::npos) {
      // Never closed: keep what stands on this line and go on with the next.
      pos_ = open + 1;
      while (!AtEnd() && !IsLineEnd(Current())) {
        if (Current() != '\0') Keep(Current());
        ++pos_;
      }
      ConsumeTerminator();
      return;
    }
    for (; pos_ < close; ++pos_) {
      if (Current() != '\0') Keep(Current());
    }
    pos_ = close + 1;
    while (!AtEnd() && Current() != ',' && !IsLineEnd(Current())) ++pos_;
    ConsumeTerminator();
  }

  std::string& text_;
  size_t pos_ = 0;
  size_t out_ = 0;
  bool afterComma_ = false;
};

}  // namespace

bool ParseItemsInPlaceUpTo(std::string& text, size_t maxRecords, std::vector<ItemSpan>& items) {
  items.clear();
  bool withinLimit = true;
  ItemReader(text).VisitAll([&](const ItemSpan& item) {
    if (items.size() == maxRecords) return withinLimit = false;
    items.push_back(item);
    return true;
  });
  return withinLimit;
}

void ForEachItem(std::string_view text, const ItemVisitor& visit) {
  std::string parsed(text);
  ItemReader(parsed).VisitAll(
      [&](const ItemSpan& item) { return visit(parsed.substr(item.offset, item.length)); });
}

bool SplitEntry(std::string_view record, Entry& entry) {
  const size_t bar = record.find('|');
  if (bar == std::string_view::npos) return false;
  entry.name = record.substr(0, bar);
  entry.description = record.substr(bar + 1);
  return true;
}

}  // namespace core
