#include "platform/text.h"

#include <windows.h>

#include <cstdint>

namespace platform {
namespace {

std::wstring ToWide(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return std::wstring();
  const int length = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], length);
  return wide;
}

std::string FromWide(UINT codePage, std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int length =
      WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0], length, nullptr, nullptr);
  return bytes;
}

// Names on NTFS may hold unpaired surrogates; UTF-8 cannot express them and
// the system's converter turns them into U+FFFD, after which the name no
// longer opens. They are kept instead as the 3-byte sequences their code
// points would have (WTF-8), so every name survives the way there and back.
void AppendUtf8(uint32_t code, std::string& out) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// The code point of the sequence at `at` and its length in bytes; an
// invalid or cut-off sequence is U+FFFD for its first byte.
uint32_t DecodeUtf8(std::string_view bytes, size_t at, size_t& length) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(at);
  length = 1;
  if (lead < 0x80) return lead;
  size_t count;
  uint32_t code;
  uint32_t smallest;
  if (lead >= 0xC2 && lead <= 0xDF) {
    count = 2, code = lead & 0x1F, smallest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    count = 3, code = lead & 0x0F, smallest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    count = 4, code = lead & 0x07, smallest = 0x10000;
  } else {
    return 0xFFFD;
  }
  if (at + count > bytes.size()) return 0xFFFD;
  for (size_t i = 1; i < count; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0xFFFD;
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  if (code < smallest || code > 0x10FFFF) return 0xFFFD;
  length = count;
  return code;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
  std::wstring wide;
  wide.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    size_t length;
    const uint32_t code = DecodeUtf8(utf8, at, length);
    at += length;
    if (code < 0x10000) {
      wide.push_back(static_cast<wchar_t>(code));
    } else {
      wide.push_back(static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10)));
      wide.push_back(static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    }
  }
  return wide;
}

std::string Narrow(std::wstring_view utf16) {
  std::string bytes;
  bytes.reserve(utf16.size());
  for (size_t at = 0; at < utf16.size(); ++at) {
    uint32_t code = static_cast<uint16_t>(utf16[at]);
    if (code >= 0xD800 && code <= 0xDBFF && at + 1 < utf16.size()) {
      const uint32_t low = static_cast<uint16_t>(utf16[at + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        ++at;
      }
    }
    AppendUtf8(code, bytes);
  }
  return bytes;
}
std::string AnsiToUtf8(std::string_view ansi) { return Narrow(ToWide(CP_ACP, ansi)); }
std::string Utf8ToAnsi(std::string_view utf8) { return FromWide(CP_ACP, Widen(utf8)); }

std::optional<std::string> Utf8ToAnsiExactly(std::string_view utf8) {
  const std::wstring wide = Widen(utf8);
  std::string ansi = FromWide(CP_ACP, wide);
  // Whatever the converter put in place of a character does not read back
  // as that character.
  if (ToWide(CP_ACP, ansi) != wide) return std::nullopt;
  return ansi;
}

}  // namespace platform
