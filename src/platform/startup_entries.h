// What the system starts at log-on: the text values of the user's and the
// machine's Run and RunOnce keys (on 64-bit Windows, the machine's in both
// of its views), and the shortcuts in the user's and all users' Startup
// folders. Only entries this user may remove are listed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct LogOnValue {
  std::string key;      // "HKCU\...", "HKLM\..." or, in 64-bit programs' view, "HKLM64\..."
  std::string name;
  uint32_t type = 0;    // REG_SZ or REG_EXPAND_SZ
  std::string data;     // as stored
  std::string command;  // the data with environment variables expanded
};

// The values of the Run and RunOnce keys whose key can be opened for
// writing (a machine key often cannot).
std::vector<LogOnValue> ListLogOnValues();
// True for the Run and RunOnce keys as ListLogOnValues names them. Values
// are deleted from and written back to no other key, whatever a damaged or
// altered quarantine journal names.
bool IsLogOnKey(const std::string& key);
bool DeleteLogOnValue(const std::string& key, const std::string& name);
// Writes the value as it was; the key is made when it is missing. A value
// of that name that holds something else now is left as it is (false); one
// that holds the same already counts as written.
bool WriteLogOnValue(const std::string& key, const std::string& name, uint32_t type, const std::string& data);

struct StartupShortcut {
  std::string path;
  std::string target;  // the file the shortcut starts; empty when unreadable
};

// The user's and all users' Startup folders, those the system can name.
std::vector<std::string> StartupFolders();
// The shortcuts of both Startup folders that this user may delete.
std::vector<StartupShortcut> ListStartupShortcuts();
// The file a shortcut file starts; empty when it is no readable shortcut.
std::string ShortcutFileTarget(const std::string& path);
// A value's command as the system runs it: REG_EXPAND_SZ data with its
// environment variables expanded, other data as it is.
std::string CommandOfValue(uint32_t type, const std::string& data);

}  // namespace platform
