#include "core/detection.h"

namespace core {

Detection DetectionIn(std::string_view folder, std::string_view name, std::string_view description) {
  Detection detection;
  detection.path.reserve(folder.size() + 1 + name.size());
  detection.path += folder;
  detection.path += '\\';
  detection.path += name;
  detection.description = description;
  return detection;
}

std::string DetectionLine(const Detection& detection) { return detection.path + " > " + detection.description; }

}  // namespace core
