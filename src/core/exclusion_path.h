// Which stored exclusions the program can use: a full path of a file or a
// folder, given the way Windows programs name files. One it cannot use is
// shown with the reason rather than doing nothing unseen.
#pragma once

#include <string>
#include <string_view>

namespace core {

struct ExclusionPath {
  // The path as the program compares it: one "\" between its parts, no
  // final "\", and "\\?\C:\..." or "\\?\UNC\..." written the plain way.
  std::string path;
  // Why the exclusion is not in effect; empty when it is.
  std::string problem;
};

ExclusionPath ReadExclusionPath(std::string_view stored);

}  // namespace core
