#include "features/listing_helper.h"

#include <set>
#include <utility>
#include <vector>

#include "core/listing_stream.h"
#include "core/walk_ahead.h"
#include "features/disk_folders.h"
#include "platform/helper_process.h"
#include "platform/text.h"

namespace features {
namespace {

// Listings gathered before one write: few writes, each a call to the
// system, and the scan never waits long for the first folders of a subtree.
constexpr size_t kAnswerBytes = 64 * 1024;

// Walks one subtree as the scan would, listing each folder just as the
// scan's own listing job would, and sends every listing on.
bool WalkSubtree(const core::SubtreeRequest& request, std::set<core::FolderId>& visited,
                 core::FolderLister& lister, const core::FoldCase& fold, std::string& answers) {
  visited.insert(request.passOver.begin(), request.passOver.end());
  core::WalkAhead walk(core::DelegatedFolder{request.root, request.id, request.known, request.depth},
                       request.withFiles, visited);
  core::FolderVisit visit;
  core::FolderJob job;
  for (;;) {
    const core::WalkAhead::Step step = walk.Next(true, visit, job);
    if (step == core::WalkAhead::Step::Done) break;
    if (step != core::WalkAhead::Step::Job) continue;
    core::RunFolderJob(job, lister, fold);
    if (!job.identify) {
      core::SubtreeListing listing;
      listing.subtree = request.subtree;
      listing.path = job.path;
      listing.id = job.id;
      listing.known = job.known;
      listing.listed = job.listed;
      listing.foldedFiles = std::move(job.foldedFiles);
      listing.subfolders = job.subfolders;
      core::AppendListing(answers, listing);
      if (answers.size() >= kAnswerBytes) {
        if (!platform::SendAnswers(answers)) return false;
        answers.clear();
      }
    }
    walk.Finish(job);
  }
  core::SubtreeListing end;
  end.subtree = request.subtree;
  end.end = true;
  core::AppendListing(answers, end);
  const bool sent = platform::SendAnswers(answers);
  answers.clear();
  return sent;
}

}  // namespace

bool IsListingHelper(const std::vector<std::string>& arguments) {
  return arguments.size() == 1 && platform::Widen(arguments[0]) == kListingHelperSwitch;
}

int RunListingHelper() {
  // Folders walked in earlier subtrees: the scan passes them over too.
  std::set<core::FolderId> visited;
  DiskFolderLister lister;
  const core::FoldCase fold = FoldFileName;
  std::string requests, answers;
  for (;;) {
    core::SubtreeRequest request;
    size_t used = 0;
    switch (core::DecodeRequest(requests, used, request)) {
      case core::Decoded::Complete:
        requests.erase(0, used);
        if (!WalkSubtree(request, visited, lister, fold, answers)) return 0;
        break;
      case core::Decoded::NeedMore:
        if (!platform::ReceiveRequests(requests)) return 0;
        break;
      case core::Decoded::Malformed:
        return 1;
    }
  }
}

}  // namespace features
