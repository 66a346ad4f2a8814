#include "core/startup_traces.h"

#include "core/paths.h"

namespace core {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

constexpr char kTraceSeparator = ';';
constexpr char kPartSeparator = '|';
constexpr const char* kHexDigits = "0123456789ABCDEF";

// Percent-escapes what would end a part, a trace or the journal field.
std::string Escaped(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || c == '%' || c == kTraceSeparator || c == kPartSeparator) {
      escaped += '%';
      escaped += kHexDigits[byte >> 4];
      escaped += kHexDigits[byte & 15];
    } else {
      escaped += c;
    }
  }
  return escaped;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Unescaped(std::string_view text, std::string& plain) {
  plain.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      plain += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return false;
    plain += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

}  // namespace

bool CommandStartsFile(std::string_view command, std::string_view filePath, const FoldCase& fold) {
  while (!command.empty() && IsBlank(command.front())) command.remove_prefix(1);
  std::string_view program;
  if (!command.empty() && command.front() == '"') {
    command.remove_prefix(1);
    // The system takes an unclosed quote to run to the end.
    program = command.substr(0, command.find('"'));
  } else {
    // Unquoted, the path may hold blanks: the file's own path, then the end
    // or a blank, is what the system starts first.
    const std::string plainFile = PlainPath(filePath);
    const std::string plainCommand = PlainPath(command);
    if (plainCommand.size() < plainFile.size()) return false;
    if (plainCommand.size() > plainFile.size() && !IsBlank(plainCommand[plainFile.size()])) return false;
    return !plainFile.empty() && fold(plainCommand.substr(0, plainFile.size())) == fold(plainFile);
  }
  return !filePath.empty() && fold(PlainPath(program)) == fold(PlainPath(filePath));
}

std::string_view CommandProgram(std::string_view command) {
  while (!command.empty() && IsBlank(command.front())) command.remove_prefix(1);
  if (!command.empty() && command.front() == '"') {
    command.remove_prefix(1);
    return command.substr(0, command.find('"'));
  }
  size_t end = 0;
  while (end < command.size() && !IsBlank(command[end])) ++end;
  return command.substr(0, end);
}

std::string DescribeStartupTrace(const StartupTrace& trace) {
  if (trace.kind == StartupTrace::Kind::Shortcut) return trace.where;
  const std::string_view wide = "HKLM64\\";
  if (trace.where.compare(0, wide.size(), wide) == 0) {
    return "HKLM\\" + trace.where.substr(wide.size()) + "\\" + trace.name + " (64-bit)";
  }
  return trace.where + "\\" + trace.name;
}

std::string FormatStartupTraces(const std::vector<StartupTrace>& traces) {
  std::string field;
  for (const StartupTrace& trace : traces) {
    if (!field.empty()) field += kTraceSeparator;
    if (trace.kind == StartupTrace::Kind::RunValue) {
      field += "R" + std::string(1, kPartSeparator) + Escaped(trace.where) + kPartSeparator + Escaped(trace.name) +
               kPartSeparator + std::to_string(trace.valueType) + kPartSeparator + Escaped(trace.data);
    } else {
      field += "S" + std::string(1, kPartSeparator) + Escaped(trace.where) + kPartSeparator;
      for (char c : trace.data) {
        const auto byte = static_cast<unsigned char>(c);
        field += kHexDigits[byte >> 4];
        field += kHexDigits[byte & 15];
      }
    }
  }
  return field;
}

bool ParseStartupTraces(std::string_view field, std::vector<StartupTrace>& traces) {
  std::vector<StartupTrace> read;
  if (!field.empty()) {
    for (std::string_view text : Split(field, kTraceSeparator)) {
      const std::vector<std::string_view> parts = Split(text, kPartSeparator);
      StartupTrace trace;
      if (parts[0] == "R" && parts.size() == 5) {
        if (parts[3] != "1" && parts[3] != "2") return false;
        trace.valueType = static_cast<uint32_t>(parts[3][0] - '0');
        if (!Unescaped(parts[1], trace.where) || !Unescaped(parts[2], trace.name) ||
            !Unescaped(parts[4], trace.data)) {
          return false;
        }
      } else if (parts[0] == "S" && parts.size() == 3 && parts[2].size() % 2 == 0) {
        trace.kind = StartupTrace::Kind::Shortcut;
        if (!Unescaped(parts[1], trace.where)) return false;
        for (size_t i = 0; i < parts[2].size(); i += 2) {
          const int high = HexValue(parts[2][i]);
          const int low = HexValue(parts[2][i + 1]);
          if (high < 0 || low < 0) return false;
          trace.data += static_cast<char>(high * 16 + low);
        }
      } else {
        return false;
      }
      if (trace.where.empty()) return false;
      read.push_back(std::move(trace));
    }
  }
  traces = std::move(read);
  return true;
}

}  // namespace core
