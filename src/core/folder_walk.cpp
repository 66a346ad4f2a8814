#include "core/folder_walk.h"


namespace core {

uint64_t VolumeIdentity(uint32_t serial, std::string_view objectName) {
  if (objectName.empty()) return serial;
  // "\Device\HarddiskVolume2\Users" ends its device part at the third separator.
  size_t end = objectName.size();
  int separators = 0;
  for (size_t i = 0; i < objectName.size(); ++i) {
    if (objectName[i] == '\\' && ++separators == 3) {
      end = i;
      break;
    }
  }
  uint32_t hash = 2166136261u;
  for (char c : objectName.substr(0, end)) {
    hash = (hash ^ static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c)) * 16777619u;
  }
  return (static_cast<uint64_t>(hash) << 32) | serial;
}

}  // namespace core
