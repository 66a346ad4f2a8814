// The program's settings: preferences, usage figures and update overrides,
// stored per user as text values addressed by application name, section and
// key. Reading takes a default that is returned for a missing value; writing
// creates whatever is missing.
#pragma once

#include <cstdint>
#include <string>

namespace features {

std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                       const std::string& defaultValue);
void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& value);

// The program's own values: application title and section "SETTINGS".
std::string GetAppSetting(const std::string& key, const std::string& defaultValue);
void SaveAppSetting(const std::string& key, const std::string& value);
// The key, under HKEY_CURRENT_USER, of one of the program's own sections.
std::string AppSectionKeyPath(const std::string& section);
// An on/off preference that is off unless stored as on.
bool IsSwitchedOn(const char* key);

// Notes the start of a scan run: its date and time, and one more scan.
void RecordScanStart();
std::string LastScanText();
std::string ScanCountText();

// A value of section "UPDATES" (server address, lowered limits), or the
// empty text.
std::string UpdatesValue(const char* key);

// Writes or removes the per-user Run value that starts the program at log-on.
void SetStartAtLogOn(bool on);

}  // namespace features
