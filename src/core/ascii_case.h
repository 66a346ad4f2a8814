// Case rules for the ASCII letters alone: names of the program's own files
// and drive letters, whose case the user never chose. Names of other files
// fold with the system's rules instead (see FoldCase).
#pragma once

#include <string>
#include <string_view>

namespace core {

inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string FoldAscii(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = LowerAscii(c);
  return folded;
}

inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace core
