#include "reference/reference_syntax.h"

#include <utility>

namespace reference {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

class ItemReader {
 public:
  explicit ItemReader(std::string_view text) : text_(text) {}

  void VisitAll(const ItemVisitor& visit) {
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

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return text_[pos_]; }

  void SkipBlanks() {
    while (!AtEnd() && (IsBlank(Peek()) || Peek() == '\0')) ++pos_;
  }

  // Leaves the reader on the first character of the next item; false at the
  // end of the text.
  bool SkipBlanksAndEmptyLines() {
    for (;;) {
      SkipBlanks();
      if (AtEnd()) return false;
      if (!IsLineEnd(Peek())) return true;
      ConsumeLineEnd();
    }
  }

  void ConsumeLineEnd() {
    if (Peek() == '\r') {
      ++pos_;
      if (!AtEnd() && Peek() == '\n') ++pos_;
    } else {
      ++pos_;
    }
  }

  // Consumes the comma or line end that ends an item.
  void ConsumeTerminator() {
    if (AtEnd()) return;
    if (Peek() == ',') {
      ++pos_;
      afterComma_ = true;
    } else {
      ConsumeLineEnd();
    }
  }

  std::string ReadItem() {
    if (!AtEnd() && Peek() == '"') return ReadQuoted();
    return ReadPlain();
  }

  std::string ReadPlain() {
    std::string item;
    while (!AtEnd() && Peek() != ',' && !IsLineEnd(Peek())) {
      if (Peek() != '\0') item.push_back(Peek());
      ++pos_;
    }
    while (!item.empty() && IsBlank(item.back())) item.pop_back();
    ConsumeTerminator();
    return item;
  }

  std::string ReadQuoted() {
    const size_t open = pos_++;
    const size_t close = text_.find('"', pos_);
    if (close == std::string_view::npos) {
      // Never closed: keep what stands on this line and go on with the next.
      pos_ = open + 1;
      std::string item;
      while (!AtEnd() && !IsLineEnd(Peek())) {
        if (Peek() != '\0') item.push_back(Peek());
        ++pos_;
      }
      ConsumeTerminator();
      return item;
    }
    std::string item;
    item.reserve(close - pos_);
    for (size_t i = pos_; i < close; ++i) {
      if (text_[i] != '\0') item.push_back(text_[i]);
    }
    pos_ = close + 1;
    while (!AtEnd() && Peek() != ',' && !IsLineEnd(Peek())) ++pos_;
    ConsumeTerminator();
    return item;
  }

  std::string_view text_;
  size_t pos_ = 0;
  bool afterComma_ = false;
};

}  // namespace

void ForEachItem(std::string_view text, const ItemVisitor& visit) { ItemReader(text).VisitAll(visit); }

std::vector<std::string> ParseItems(std::string_view text) {
  std::vector<std::string> records;
  ParseItemsUpTo(text, records.max_size(), records);
  return records;
}

bool ParseItemsUpTo(std::string_view text, size_t maxRecords, std::vector<std::string>& records) {
  records.clear();
  bool withinLimit = true;
  ForEachItem(text, [&](std::string&& item) {
    if (records.size() == maxRecords) return withinLimit = false;
    records.push_back(std::move(item));
    return true;
  });
  return withinLimit;
}

bool SplitEntry(std::string_view record, Entry& entry) {
  const size_t bar = record.find('|');
  if (bar == std::string_view::npos) return false;
  entry.name = record.substr(0, bar);
  entry.description = record.substr(bar + 1);
  return true;
}

}  // namespace reference
