// Writing a file so that it is either there whole or not at all.
#pragma once

#include <string>

namespace platform {

// Writes `bytes` to a temporary file beside `path`, flushes it, and moves it
// into place in one step, replacing an existing file. On failure nothing is
// left behind, `error` holds the system's description, and false is returned.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error);

// Flushes `replacement` to the disk and moves it over `target` in one step.
// On failure `target` is untouched and `error` holds the system's
// description.
bool ReplaceFileWith(const std::string& target, const std::string& replacement, std::string& error);

}  // namespace platform
