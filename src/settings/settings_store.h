// The per-user settings store: text values addressed by application name,
// section and key. Reading takes a default that is returned for a missing
// value; writing creates whatever is missing.
#pragma once

#include <string>

namespace settings {

std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                       const std::string& defaultValue);
void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& value);

// The program's own values: application title and section "SETTINGS".
std::string GetAppSetting(const std::string& key, const std::string& defaultValue);
void SaveAppSetting(const std::string& key, const std::string& value);

}  // namespace settings
