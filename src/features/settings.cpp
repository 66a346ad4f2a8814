// Stored where earlier releases of the program keep them, under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<app>\<section>, so an
// upgrade keeps the user's preferences and figures.
#include "features/settings.h"

#include <climits>
#include <cstdio>

#include "core/program_identity.h"
#include "core/setting_values.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/run_key.h"

namespace features {
namespace {

std::string SectionKeyPath(const std::string& appName, const std::string& section) {
  return "Software\\VB and VBA Program Settings\\" + appName + "\\" + section;
}

// The stored count plus one, in its shortest decimal form.
std::string NextScanCount(const std::string& stored) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", core::ReadNumber(stored) + 1);
  return text;
}

}  // namespace

std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                       const std::string& defaultValue) {
  return platform::ReadUserText(SectionKeyPath(appName, section), key).value_or(defaultValue);
}

void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& value) {
  platform::WriteUserText(SectionKeyPath(appName, section), key, value);
}

std::string GetAppSetting(const std::string& key, const std::string& defaultValue) {
  if (std::optional<std::string> policy = PolicySetting(core::kSection, key)) return *policy;
  return GetSetting(core::kTitle, core::kSection, key, defaultValue);
}

void SaveAppSetting(const std::string& key, const std::string& value) {
  if (SetByPolicy(key.c_str())) return;
  SaveSetting(core::kTitle, core::kSection, key, value);
}

std::string PolicySectionKeyPath(const std::string& section) {
  return std::string("Software\\") + core::kTitle + "\\Policy\\" + section;
}

std::optional<std::string> PolicySetting(const std::string& section, const std::string& key) {
  if (!core::PolicyMaySet(section, key)) return std::nullopt;
  return platform::ReadMachineText(PolicySectionKeyPath(section), key);
}

bool SetByPolicy(const char* key) { return PolicySetting(core::kSection, key).has_value(); }

std::string AppSectionKeyPath(const std::string& section) { return SectionKeyPath(core::kTitle, section); }

bool IsSwitchedOn(const char* key) { return core::ReadsAsOn(GetAppSetting(key, "0")); }

void RecordScanStart() {
  SaveAppSetting(core::kLastRun, platform::GeneralDate(platform::Now()));
  SaveAppSetting(core::kScanCount, NextScanCount(GetAppSetting(core::kScanCount, "0")));
}

std::string LastScanText() { return GetAppSetting(core::kLastRun, "Never"); }

std::string ScanCountText() { return GetAppSetting(core::kScanCount, "0"); }

std::string UpdatesValue(const char* key) {
  if (std::optional<std::string> policy = PolicySetting(core::kUpdatesSection, key)) return *policy;
  return GetSetting(core::kTitle, core::kUpdatesSection, key, "");
}

void SetStartAtLogOn(bool on) {
  if (on) {
    platform::SetRunValue(core::kTitle, core::RunValueData(platform::ModulePath()));
  } else {
    platform::DeleteRunValue(core::kTitle);
  }
}

}  // namespace features
