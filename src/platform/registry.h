// Text values under the current user's registry keys.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The REG_SZ or REG_EXPAND_SZ value `name` under HKEY_CURRENT_USER\`keyPath`
// (not expanded); nothing when the key or value is missing or of another type.
std::optional<std::string> ReadUserText(const std::string& keyPath, const std::string& name);
// Writes a REG_SZ value, creating the key as needed; failures are ignored.
void WriteUserText(const std::string& keyPath, const std::string& name, const std::string& value);

}  // namespace platform
