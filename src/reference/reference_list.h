// The in-memory reference list: the header record at position 0, then the
// entries, in file order. Owned by the tray window for the whole run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace reference {

class ReferenceList {
 public:
  void Clear() { records_.clear(); }
  void Assign(std::vector<std::string> records) { records_ = std::move(records); }

  // The count includes the header record. The list itself has no upper
  // bound; the loader refuses a file beyond the definitions limits.
  size_t Count() const { return records_.size(); }
  const std::string& Record(size_t position) const { return records_.at(position); }
  // The header record, or the empty text while nothing is loaded.
  std::string Header() const { return records_.empty() ? std::string() : records_.front(); }

 private:
  std::vector<std::string> records_;
};

// Decodes the raw bytes of the definitions file to UTF-8 text. The file is
// written in the ANSI code page, which the caller converts with
// `ansiToUtf8`; a file that starts with a UTF-8 byte-order mark is taken as
// UTF-8 instead and the mark is dropped.
template <typename AnsiToUtf8>
std::string DecodeReferenceBytes(std::string_view bytes, AnsiToUtf8 ansiToUtf8) {
  constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) return std::string(bytes.substr(kUtf8Bom.size()));
  return ansiToUtf8(bytes);
}

}  // namespace reference
