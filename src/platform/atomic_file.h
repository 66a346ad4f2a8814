// Writing a file so that it is either there whole or not at all.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace platform {

// Writes `bytes` to a temporary file beside `path`, flushes it, and moves it
// into place in one step, replacing an existing file. On failure nothing is
// left behind, `error` holds the system's description, and false is returned.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error);

// Writes as above but never replaces a file: the file takes the first name
// of `nameFor(1)`, `nameFor(2)`, ... that is free. Gives the path written, or
// nothing, with `error` holding the system's description.
std::optional<std::string> WriteNewFileAtomically(const std::function<std::string(int)>& nameFor,
                                                  const std::string& bytes, std::string& error);

// Flushes `replacement` to the disk and moves it over `target` in one step.
// On failure `target` is untouched and `error` holds the system's
// description.
bool ReplaceFileWith(const std::string& target, const std::string& replacement, std::string& error);

}  // namespace platform
