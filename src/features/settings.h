// The program's settings: preferences, usage figures and update overrides,
// stored per user as text values addressed by application name, section and
// key. Reading takes a default that is returned for a missing value; writing
// creates whatever is missing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace features {

std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                       const std::string& defaultValue);
void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& value);

// The program's own values: application title and section "SETTINGS". A
// value the administrator set wins over the user's, which Save leaves as
// it was.
std::string GetAppSetting(const std::string& key, const std::string& defaultValue);
void SaveAppSetting(const std::string& key, const std::string& value);
// A value an administrator set for every user of the machine, under
// HKEY_LOCAL_MACHINE\Software\Tallowick Parawarden\Policy\<section>;
// nothing where none is set, or for a key that policy does not set.
std::optional<std::string> PolicySetting(const std::string& section, const std::string& key);
// Whether the administrator set this value of section "SETTINGS".
bool SetByPolicy(const char* key);
// The key, under HKEY_LOCAL_MACHINE, of one section of the policy.
std::string PolicySectionKeyPath(const std::string& section);
// The key, under HKEY_CURRENT_USER, of one of the program's own sections.
std::string AppSectionKeyPath(const std::string& section);
// An on/off preference that is off unless stored as on.
bool IsSwitchedOn(const char* key);

// Notes the start of a scan run: its date and time, and one more scan.
void RecordScanStart();
std::string LastScanText();
std::string ScanCountText();

// A value of section "UPDATES" (server address, lowered limits), or the
// empty text; the administrator's server address wins over the user's.
std::string UpdatesValue(const char* key);

// Writes or removes the per-user Run value that starts the program at log-on.
void SetStartAtLogOn(bool on);

}  // namespace features
