// Text values under the current user's registry keys, and the machine's
// keys an administrator fills.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace platform {

// The REG_SZ or REG_EXPAND_SZ value `name` under HKEY_CURRENT_USER\`keyPath`
// (not expanded); nothing when the key or value is missing or of another type.
std::optional<std::string> ReadUserText(const std::string& keyPath, const std::string& name);
// Writes a REG_SZ value, creating the key as needed; failures are ignored.
void WriteUserText(const std::string& keyPath, const std::string& name, const std::string& value);

struct NamedText {
  std::string name;
  std::string text;        // as stored, not expanded
  bool expandable = false;  // REG_EXPAND_SZ
};
// Every REG_SZ or REG_EXPAND_SZ value of an open key.
std::vector<NamedText> ReadTextValues(HKEY key);
// Every REG_SZ or REG_EXPAND_SZ value under HKEY_CURRENT_USER\`keyPath`, in
// the order the system lists them; values of other types are passed over.
std::vector<NamedText> ReadUserTexts(const std::string& keyPath);
// Removes the value (names compare without regard to case, as the registry
// does); a missing key or value leaves things as they are.
void DeleteUserValue(const std::string& keyPath, const std::string& name);
// Removes the values with one opening of the key.
void DeleteUserValues(const std::string& keyPath, const std::vector<std::string>& names);

// The REG_SZ or REG_EXPAND_SZ value under HKEY_LOCAL_MACHINE\`keyPath`. On
// 64-bit Windows both registry views are read; where both hold the value,
// the 64-bit view's (where the system's own Registry Editor and .reg files
// write) is taken.
std::optional<std::string> ReadMachineText(const std::string& keyPath, const std::string& name);
// Every text value under HKEY_LOCAL_MACHINE\`keyPath`, from both views on
// 64-bit Windows: the 64-bit view's first, then those of the 32-bit view
// whose names it lacks.
std::vector<NamedText> ReadMachineTexts(const std::string& keyPath);

}  // namespace platform
