// File system services: the application folder, whole-file reads, folder
// creation and the "file exists" rule the definitions loader relies on.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Full path of the running executable.
std::string ModulePath();
// The folder that holds the executable, without a trailing "\".
std::string ApplicationFolder();
// ApplicationFolder() + "\" + name.
std::string AppPath(const std::string& name);

enum class ReadResult { Ok, NotFound, Failed, TooLarge };
// Reads a whole file of at most `maxBytes` (TooLarge otherwise, before any
// of it is read). On failure `bytes` is left untouched.
ReadResult ReadFileBytes(const std::string& path, std::string& bytes, uint64_t maxBytes = UINT64_MAX);
// Reads the first `count` bytes of a file, or all of a shorter one.
ReadResult ReadFileStart(const std::string& path, size_t count, std::string& bytes);

// Creates a folder; one that exists already, or that cannot be created, is
// left as it is (the caller goes on either way).
void CreateFolder(const std::string& path);

// Deletes a file, clearing a read-only mark if that is what stands in the
// way; false when the file is still there afterwards.
bool DeleteFileForced(const std::string& path);

// True when the file is present and longer than 0 bytes. A missing file (or
// empty path) is false without a word; any other failure, such as a
// folder in the path that does not exist, is shown in a message box first.
bool FileExists(const std::string& path);

}  // namespace platform
