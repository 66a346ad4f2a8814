// What starts a program at log-on: Run and RunOnce values and Startup folder
// shortcuts. A quarantined file takes the ones that start it along, so the
// next log-on shows no "cannot find" error, and gets them back on restore.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/definitions_index.h"

namespace core {

// Whether a log-on command starts exactly this file: its program part,
// quoted or not, is the file's path (compared with `fold`, a doubled "\" as
// one), followed by nothing or by arguments. A command that names another
// file, or this one only as an argument, does not.
bool CommandStartsFile(std::string_view command, std::string_view filePath, const FoldCase& fold);
// The program part of a command as far as text tells it: the quoted part,
// or all before the first blank (which a path of short names never holds).
std::string_view CommandProgram(std::string_view command);

struct StartupTrace {
  enum class Kind { RunValue, Shortcut };
  Kind kind = Kind::RunValue;
  // A Run value: its key ("HKCU\...", "HKLM\..." or "HKLM64\..."), name,
  // type (REG_SZ 1 or REG_EXPAND_SZ 2) and data as stored. A shortcut: its
  // full path and the bytes of its file.
  std::string where;
  std::string name;
  uint32_t valueType = 0;
  std::string data;

  bool operator==(const StartupTrace& other) const {
    return kind == other.kind && where == other.where && name == other.name && valueType == other.valueType &&
           data == other.data;
  }
};

// The trace as a person reads it: the value's key and name, the machine's
// keys for 64-bit programs marked as such, or the shortcut's path.
std::string DescribeStartupTrace(const StartupTrace& trace);

// The traces as one journal field: no tab, CR or LF in it, whatever the
// names and data hold; an empty list is the empty text.
std::string FormatStartupTraces(const std::vector<StartupTrace>& traces);
// False for a field that no list of traces gives.
bool ParseStartupTraces(std::string_view field, std::vector<StartupTrace>& traces);

}  // namespace core
