#include "features/listing_helpers.h"

#include <utility>

#include "features/listing_helper.h"

namespace features {
namespace {

// Subtrees sent to one helper and not yet ended: one to walk and one to
// start on at once when that one ends.
constexpr size_t kSubtreesQueued = 2;
// Listings taken in from one helper and not yet used by the walk, at most,
// about; the rest waits in the pipe, and the helper waits when that is full.
constexpr size_t kHeldBytes = 1024 * 1024;

size_t BytesOf(const core::SubtreeListing& listing) {
  size_t bytes = sizeof listing + listing.path.size();
  for (const std::string& name : listing.foldedFiles) bytes += sizeof name + name.size();
  for (const core::Subfolder& subfolder : listing.subfolders) bytes += sizeof subfolder + subfolder.name.size();
  return bytes;
}

bool SameId(const core::FolderId& a, const core::FolderId& b) { return !(a < b) && !(b < a); }

}  // namespace

struct ListingHelpers::Helper {
  platform::HelperProcess process;
  bool gone = false;
  std::string received;  // not yet decoded
  std::deque<core::SubtreeListing> listings;
  size_t listingBytes = 0;
  std::deque<uint32_t> unfinished;  // sent and not ended, in the order sent
  std::string lastRoot;             // of the walk's last subtree sent, while that walk runs
};

ListingHelpers::ListingHelpers(int count, core::FoldCase fold, std::vector<core::FolderId> passOver)
    : fold_(std::move(fold)), passOver_(std::move(passOver)), starter_([this, count] {
        for (int i = 0; i < count; ++i) {
          auto helper = std::make_unique<Helper>();
          if (helper->process.Start(kListingHelperSwitch)) starting_.push_back(std::move(helper));
        }
      }) {}

ListingHelpers::~ListingHelpers() { starter_.WaitForEnd(); }

bool ListingHelpers::Started() {
  if (!started_ && starter_.Ended()) {
    helpers_ = std::move(starting_);
    started_ = true;
  }
  return started_;
}

void ListingHelpers::BeginWalk() {
  for (const auto& helper : helpers_) helper->lastRoot.clear();
}

void ListingHelpers::Refill(core::WalkAhead& walk, platform::Mutex& mutex, bool withFiles) {
  if (!Started()) return;
  for (size_t i = 0; i < helpers_.size(); ++i) {
    Helper& helper = *helpers_[i];
    Receive(helper);
    while (!helper.gone && helper.unfinished.size() < kSubtreesQueued) {
      core::DelegatedFolder root;
      {
        platform::MutexLock lock(mutex);
        // A helper walks its subtrees in the order sent; the scan must
        // reach them in that order too, or it would pass the later one by
        // while the helper is still on the earlier.
        const auto after = [&](const std::string& path) {
          return helper.lastRoot.empty() || core::WalkReachesFirst(helper.lastRoot, path, fold_);
        };
        if (!walk.Delegate(static_cast<int>(i), lastSubtree_ + 1, after, root)) return;
      }
      core::SubtreeRequest request;
      request.subtree = ++lastSubtree_;
      request.root = root.path;
      request.id = root.id;
      request.known = root.known;
      request.depth = root.depth;
      request.withFiles = withFiles;
      request.passOver = passOver_;
      std::string bytes;
      core::AppendRequest(bytes, request);
      // A helper that is gone leaves its subtree to the walk's own listing.
      if (!helper.process.Send(bytes)) helper.gone = true;
      helper.unfinished.push_back(request.subtree);
      helper.lastRoot = root.path;
    }
  }
}

void ListingHelpers::Receive(Helper& helper) {
  if (helper.gone) return;
  const size_t held = helper.received.size() + helper.listingBytes;
  if (held < kHeldBytes && !helper.process.ReceiveWaiting(helper.received, kHeldBytes - held)) helper.gone = true;
  size_t at = 0;
  for (;;) {
    core::SubtreeListing listing;
    size_t used = 0;
    const core::Decoded decoded =
        core::DecodeListing(std::string_view(helper.received).substr(at), used, listing);
    if (decoded == core::Decoded::NeedMore) break;
    if (decoded == core::Decoded::Malformed) {
      helper.gone = true;
      break;
    }
    at += used;
    if (listing.end) {
      while (!helper.unfinished.empty() && helper.unfinished.front() <= listing.subtree) {
        helper.unfinished.pop_front();
      }
      continue;
    }
    helper.listingBytes += BytesOf(listing);
    helper.listings.push_back(std::move(listing));
  }
  helper.received.erase(0, at);
}

ListingHelpers::Served ListingHelpers::Serve(core::FolderJob& job) {
  if (job.identify || job.helper < 0 || static_cast<size_t>(job.helper) >= helpers_.size()) return Served::Missed;
  Helper& helper = *helpers_[static_cast<size_t>(job.helper)];
  for (bool received = false;;) {
    if (!helper.listings.empty()) {
      core::SubtreeListing& first = helper.listings.front();
      // What comes before the folder in the walk's order is of folders the
      // walk passed over.
      if (first.subtree < job.subtree ||
          (first.subtree == job.subtree && core::WalkReachesFirst(first.path, job.path, fold_))) {
        helper.listingBytes -= BytesOf(first);
        helper.listings.pop_front();
        continue;
      }
      if (first.subtree != job.subtree || first.path != job.path) return Served::Missed;
      // Listed with another identity, its subfolders' identities may differ.
      const bool same = first.known == job.known && (!job.known || SameId(first.id, job.id));
      helper.listingBytes -= BytesOf(first);
      if (same) {
        job.listed = first.listed;
        job.foldedFiles = std::move(first.foldedFiles);
        job.subfolders = std::move(first.subfolders);
        if (!job.withFiles) job.foldedFiles.clear();
      }
      helper.listings.pop_front();
      return same ? Served::Listed : Served::Missed;
    }
    const bool ended = helper.unfinished.empty() || helper.unfinished.front() > job.subtree;
    if (ended || helper.gone) return Served::Missed;
    if (received) return Served::NotYet;
    Receive(helper);
    received = true;
  }
}

}  // namespace features
