// Registry state for end-to-end tests: the program's settings, the Run
// value, and the document associations that point at the open recorder.
#pragma once

#include <optional>
#include <string>

namespace e2e {

// Removes every stored setting of the program, the machine's policy for it
// and its Run value.
void ResetProgramRegistry();
void SetSetting(const std::string& key, const std::string& value);
std::optional<std::string> GetSetting(const std::string& key);
std::optional<std::string> GetRunValue();
// Writes a REG_SZ value under HKEY_CURRENT_USER, creating the key.
void SetUserString(const std::string& keyPath, const std::string& name, const std::string& value);
// Writes a REG_SZ value of the machine's policy for the program, as an
// administrator's .reg file does.
void SetPolicyString(const std::string& section, const std::string& name, const std::string& value);
// Points the program at an update server.
void SetUpdateServer(const std::string& address);

// Makes the shell open .html and .txt files and http addresses with the
// given recorder program.
void AssociateDocumentsWith(const std::string& recorderPath);

}  // namespace e2e
