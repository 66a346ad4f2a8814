#include "core/program_identity.h"

namespace core {

std::string VersionedCaption() {
  return std::string(kTitle) + " " + std::to_string(kMajor) + "." + std::to_string(kMinor);
}

std::string VersionLine() {
  return "Version " + std::to_string(kMajor) + "." + std::to_string(kMinor);
}

}  // namespace core
