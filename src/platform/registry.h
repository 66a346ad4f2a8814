// Text values under the registry keys of the current user (and one reader of
// the machine's).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace platform {

// The REG_SZ or REG_EXPAND_SZ value `name` under HKEY_CURRENT_USER\`keyPath`
// (not expanded); nothing when the key or value is missing or of another type.
std::optional<std::string> ReadUserText(const std::string& keyPath, const std::string& name);
// The same under HKEY_LOCAL_MACHINE, which only an administrator can change.
// A 32-bit program reads the machine's 32-bit view: on 64-bit Windows that is
// SOFTWARE\WOW6432Node.
std::optional<std::string> ReadMachineText(const std::string& keyPath, const std::string& name);
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

}  // namespace platform
