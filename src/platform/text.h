// Conversions between the program's UTF-8 text and the system's UTF-16 and
// ANSI code page encodings.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// UTF-8 and UTF-16, with unpaired surrogates carried through losslessly.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
// Bytes in the ANSI code page (NUL bytes included) to UTF-8.
std::string AnsiToUtf8(std::string_view ansi);
// UTF-8 to the ANSI code page; characters it cannot hold become "?".
std::string Utf8ToAnsi(std::string_view utf8);
// UTF-8 to the ANSI code page when the code page holds every character as it
// is (no "?", no look-alike such as "O" for "Ω"); nothing otherwise.
std::optional<std::string> Utf8ToAnsiExactly(std::string_view utf8);

}  // namespace platform
