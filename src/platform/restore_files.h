// Putting quarantined files back, the journal file beside the quarantine,
// and the folder questions that go with them.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class RestoreResult {
  Restored,     // in place at the target, the quarantined copy deleted
  TargetTaken,  // another file holds the target path; nothing was changed
  Failed,       // nothing was changed
};

// Copies the quarantined file to `target` (creating the folders on its way)
// without replacing anything, then deletes the quarantined copy. When that
// copy cannot be deleted the restored file is taken away again, so a file is
// never in both places or in neither.
RestoreResult RestoreQuarantinedFile(const std::string& quarantined, const std::string& target);

// The first "name (n).ext" beside `path` that no file holds.
std::string FreePathBeside(const std::string& path);

// True when both files can be read and hold the same bytes.
bool SameContent(const std::string& first, const std::string& second);

// Appends one line to a text file in a single write and flushes it. A file
// whose last line was cut short first gets a line break, so the new line
// stands on its own. False when the file cannot be written.
bool AppendLine(const std::string& path, const std::string& line);

// True when the path names an existing folder or drive root.
bool IsFolder(const std::string& path);
// The path made absolute against the current folder; unchanged on failure.
std::string FullPath(const std::string& path);
// The arguments of the process's command line after the program's name.
std::vector<std::string> CommandLineArguments();

// The system's folder dialog; nothing when it is cancelled.
std::optional<std::string> ChooseFolder(HWND owner, const std::string& prompt);

}  // namespace platform
