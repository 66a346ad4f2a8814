// Listing a folder's plain files, as a file list control shows them.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Names (without path) of the files in a folder that are neither hidden nor
// system files, in name order ignoring case. A folder that cannot be read
// lists nothing.
std::vector<std::string> ListPlainFiles(const std::string& folder);

// The same with the hidden and system files too: every file, no folder.
std::vector<std::string> ListEveryFile(const std::string& folder);

}  // namespace platform
