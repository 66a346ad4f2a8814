#include "removal/removal_text.h"

#include <climits>

namespace removal {

std::string_view FileNameOf(std::string_view path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string SiblingCopyPath(std::string_view filePath) {
  const std::string_view name = FileNameOf(filePath);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return std::string(filePath) + ".QVR";
  const size_t keep = filePath.size() - name.size() + dot + 1;
  return std::string(filePath.substr(0, keep)) + "QVR";
}

bool PathsForDetection(std::string_view detectionLine, std::string_view applicationFolder, RemovalPaths& paths) {
  const size_t separator = detectionLine.find(" > ");
  if (separator == std::string_view::npos || separator == 0) return false;
  paths.filePath = std::string(detectionLine.substr(0, separator));
  paths.fileName = std::string(FileNameOf(paths.filePath));
  paths.quarantinePath = std::string(applicationFolder) + "\\Quarantine\\" + paths.fileName;
  paths.siblingPath = SiblingCopyPath(paths.filePath);
  return !paths.fileName.empty();
}

int32_t AddRemoved(int32_t counter) { return counter < INT32_MAX ? counter + 1 : INT32_MAX; }

ProcessPass ProcessPassFor(int32_t platformId) {
  return platformId == 1 || platformId == 2 ? ProcessPass::Run : ProcessPass::NotRecognized;
}

size_t EntriesNaming(std::string_view executableName, const reference::ReferenceIndex& index) {
  if (executableName.empty()) return 0;
  return index.Find(index.fold()(executableName)).size();
}

}  // namespace removal
