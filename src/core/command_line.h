// The program's command line: `/scan "<folder or drive>"` asks for a scan of
// one folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// The folder after "/scan" (or "-scan", any case) among the arguments that
// follow the program's name, cleaned up by ScanRootFromArgument; nothing
// when the switch is absent, the empty text when no folder follows it.
std::optional<std::string> ScanFolderArgument(const std::vector<std::string>& arguments);

// A folder argument as the scan wants it. The shell quotes a drive as "C:\",
// which the command-line rules read as C:" (the backslash escapes the
// quote); the stray quote goes and a bare drive becomes its root. Trailing
// backslashes go too, except a drive root's.
std::string ScanRootFromArgument(std::string_view argument);

}  // namespace core
