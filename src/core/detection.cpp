#include "core/detection.h"

#include "core/paths.h"

namespace core {

Detection DetectionIn(std::string_view folder, std::string_view name, std::string_view description) {
  Detection detection;
  detection.path = JoinPath(folder, name);
  detection.description = description;
  return detection;
}

std::string DetectionLine(const Detection& detection) { return detection.path + " > " + detection.description; }

}  // namespace core
