#include "features/scan_folders.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "features/background_walk.h"
#include "features/disk_folders.h"
#include "features/parallel_walk.h"
#include "platform/disk_lister.h"
#include "platform/system.h"

namespace features {
namespace {

// Listings wait on the disk more than on a processor, but under the
// operating system's own locks more threads stop paying off.
constexpr int kMostListingThreads = 4;

}  // namespace

std::unique_ptr<core::FolderSource> ScanFolderSource(core::FoldCase fold, std::function<bool()> idle,
                                                     bool helperProcesses) {
  const int threads = std::min(platform::ProcessorCount(), kMostListingThreads);
  if (threads < 2) return std::make_unique<BackgroundFolderWalk>(std::move(fold), std::move(idle));
  // Where threads of one process cannot list side by side, processes can.
  // Helpers fold names as the disk's file names are folded; a scan that
  // folded otherwise would order and match their listings wrongly.
  const auto* folding = fold.target<std::string (*)(std::string_view)>();
  const bool foldsAsHelpers = folding != nullptr && *folding == FoldFileName;
  const int helpers = helperProcesses && platform::ListsOneFolderAtATime() && foldsAsHelpers ? threads : 0;
  return std::make_unique<ParallelFolderWalk>(std::move(fold), std::move(idle), threads,
                                              ParallelFolderWalk::ListerMaker(), helpers);
}

}  // namespace features
