// The program's command line: `/scan "<folder or drive>"` asks for a scan of
// one folder in the window; `/check <folder> ... [/report <file>]` for one
// without a window, for scripts.
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

// `/check <folder or drive> [<folder> ...] [/report <file>]` (or "-check",
// "-report", any case).
struct CheckCommand {
  std::vector<std::string> folders;  // each cleaned up by ScanRootFromArgument
  std::string reportFile;            // empty when no report was asked for
  std::string error;                 // why the arguments cannot be used; empty when they can
};

// The check the arguments ask for; nothing when "/check" is not among them.
// Any other argument starting with "/" is a mistake, since no folder name
// can be told from a switch the program does not know.
std::optional<CheckCommand> CheckArguments(const std::vector<std::string>& arguments);

}  // namespace core
