#include "features/listing_helper.h"

#include <set>

#include "core/listing_stream.h"
#include "features/disk_folders.h"
#include "platform/helper_process.h"
#include "platform/text.h"

namespace features {

bool IsListingHelper(const std::vector<std::string>& arguments) {
  return arguments.size() == 2 && platform::Widen(arguments[0]) == kListingHelperSwitch;
}

namespace {

int ServeScan(const std::vector<std::string>& arguments) {
  platform::HelperSide scan(arguments[1]);
  // Folders walked in earlier subtrees: the scan passes them over too.
  std::set<core::FolderId> visited;
  DiskFolderLister lister;
  // As the scan folds: it starts helpers only when it does.
  const core::FoldCase fold = FoldFileName;
  const auto send = [&scan](const std::string& listings) { return scan.SendAnswers(listings); };
  std::string ready;
  core::AppendReady(ready);
  if (!send(ready)) return 0;
  std::string requests;
  for (;;) {
    core::SubtreeRequest request;
    size_t used = 0;
    switch (core::DecodeRequest(requests, used, request)) {
      case core::Decoded::Complete:
        requests.erase(0, used);
        if (!core::ListSubtree(request, visited, lister, fold, send)) return 0;
        break;
      case core::Decoded::NeedMore:
        if (!scan.ReceiveRequests(requests)) return 0;
        break;
      case core::Decoded::Malformed:
        return 1;
    }
  }
}

}  // namespace

int RunListingHelper(const std::vector<std::string>& arguments) {
  // A helper that fails ends, so that its pipe breaks and the scan lists its
  // folders itself; it never stays up behind an error box.
  try {
    return ServeScan(arguments);
  } catch (...) {
    return 1;
  }
}

}  // namespace features
