// The per-user Run value that starts the program at log-on.
#pragma once

#include <string>

namespace platform {

// Each step is attempted and its failure ignored: a Run key that cannot be
// opened for writing simply leaves things as they are.
void SetRunValue(const std::string& name, const std::string& data);
void DeleteRunValue(const std::string& name);

}  // namespace platform
