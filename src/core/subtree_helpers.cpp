#include "core/subtree_helpers.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <utility>

#include "core/listing_stream.h"

namespace core {
namespace {

// Subtrees sent to one helper and not yet ended: one to walk and one to
// start on at once when that one ends.
constexpr size_t kSubtreesQueued = 2;
// Taken in at one time, at most: copying and decoding it holds up the walk's
// thread, which also keeps the window answering.
constexpr size_t kBytesPerReceive = 128 * 1024;

size_t BytesOf(const SubtreeListing& listing) {
  size_t bytes = sizeof listing + listing.path.size();
  for (const std::string& name : listing.foldedFiles) bytes += sizeof name + name.size();
  for (const Subfolder& subfolder : listing.subfolders) bytes += sizeof subfolder + subfolder.name.size();
  return bytes;
}

}  // namespace

struct SubtreeHelpers::Helper {
  explicit Helper(HelperLink& link) : link(link) {}

  HelperLink& link;
  bool ready = false;  // it said it waits for requests
  bool gone = false;
  bool goneTold = false;
  std::string received;  // not yet decoded
  struct Held : SubtreeListing {
    size_t bytes = 0;  // counted as held
  };
  std::deque<Held> listings;
  size_t listingBytes = 0;
  std::deque<uint32_t> unfinished;  // sent and not ended, in the order sent
  std::string lastRoot;             // of the last subtree sent in the walk that runs
  uint64_t heardAt = 0;             // when it last sent, or was sent, anything
};

SubtreeHelpers::SubtreeHelpers(FoldCase fold, size_t heldBytes, std::function<uint64_t()> clock)
    : fold_(std::move(fold)), heldBytes_(heldBytes), clock_(std::move(clock)) {
  if (!clock_) {
    clock_ = [] {
      return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                       std::chrono::steady_clock::now().time_since_epoch())
                                       .count());
    };
  }
}

SubtreeHelpers::~SubtreeHelpers() = default;

void SubtreeHelpers::Add(HelperLink& link) { helpers_.push_back(std::make_unique<Helper>(link)); }

void SubtreeHelpers::PassOver(const FolderId& id) { passOver_.push_back(id); }

void SubtreeHelpers::BeginWalk() {
  for (const auto& helper : helpers_) helper->lastRoot.clear();
}

void SubtreeHelpers::Refill(const DelegateSubtree& delegate, bool withFiles) {
  for (size_t i = 0; i < helpers_.size(); ++i) {
    Helper& helper = *helpers_[i];
    Receive(helper);
    // A helper walks its subtrees in the order sent; the walk must reach
    // them in that order too, or it would pass the later one by while the
    // helper is still on the earlier. Once all it sent was taken, any
    // folder ahead of the walk will do.
    if (helper.unfinished.empty() && helper.listings.empty()) helper.lastRoot.clear();
    const auto after = [&](const std::string& path) {
      return helper.lastRoot.empty() || WalkReachesFirst(helper.lastRoot, path, fold_);
    };
    while (helper.ready && !helper.gone && helper.unfinished.size() < kSubtreesQueued) {
      DelegatedFolder root;
      if (!delegate(static_cast<int>(i), lastSubtree_ + 1, after, root)) break;
      SubtreeRequest request;
      request.subtree = ++lastSubtree_;
      request.root = root.path;
      request.id = root.id;
      request.known = root.known;
      request.depth = root.depth;
      request.withFiles = withFiles;
      request.passOver = passOver_;
      request.passOver.insert(request.passOver.end(), root.above.begin(), root.above.end());
      std::string bytes;
      AppendRequest(bytes, request);
      // Never sent, the subtree is not the helper's to end, and the walk
      // finds it missed.
      if (bytes.size() > kLargestRequest) continue;
      // A helper that is gone leaves its subtree to the walk's own listing.
      if (!helper.link.Send(bytes)) helper.gone = true;
      helper.unfinished.push_back(request.subtree);
      helper.lastRoot = root.path;
      helper.heardAt = clock_();
    }
  }
}

bool SubtreeHelpers::Receive(Helper& helper) {
  if (helper.gone) return false;
  // Beyond the bytes held, only what the walk needs next: a listing larger
  // than all of them must still come in whole.
  const size_t held = helper.received.size() + helper.listingBytes;
  if (held >= heldBytes_ && !helper.listings.empty()) return false;
  const size_t before = helper.received.size();
  const size_t most = held < heldBytes_ ? std::min(heldBytes_ - held, kBytesPerReceive) : kBytesPerReceive;
  if (!helper.link.ReceiveWaiting(helper.received, most)) helper.gone = true;
  const bool more = helper.received.size() > before;
  if (more) helper.heardAt = clock_();
  size_t at = 0;
  for (;;) {
    SubtreeListing listing;
    size_t used = 0;
    const Decoded decoded = DecodeListing(std::string_view(helper.received).substr(at), used, listing);
    if (decoded == Decoded::NeedMore) break;
    if (decoded == Decoded::Malformed) {
      helper.gone = true;
      break;
    }
    at += used;
    if (listing.end && listing.subtree == 0) {
      helper.ready = true;
      continue;
    }
    if (listing.end) {
      while (!helper.unfinished.empty() && helper.unfinished.front() <= listing.subtree) {
        helper.unfinished.pop_front();
      }
      continue;
    }
    const size_t bytes = BytesOf(listing);
    helper.listingBytes += bytes;
    helper.listings.push_back({std::move(listing), bytes});
  }
  helper.received.erase(0, at);
  return more;
}

bool SubtreeHelpers::AllReady() {
  bool all = true;
  for (const auto& helper : helpers_) {
    if (!helper->ready) Receive(*helper);
    all = all && (helper->ready || helper->gone);
  }
  return all;
}

std::vector<int> SubtreeHelpers::TakeGone() {
  std::vector<int> gone;
  for (size_t i = 0; i < helpers_.size(); ++i) {
    if (helpers_[i]->gone && !helpers_[i]->goneTold) {
      helpers_[i]->goneTold = true;
      gone.push_back(static_cast<int>(i));
    }
  }
  return gone;
}

SubtreeHelpers::Served SubtreeHelpers::Serve(FolderJob& job) {
  if (job.identify || job.helper < 0 || static_cast<size_t>(job.helper) >= helpers_.size()) return Served::Missed;
  Helper& helper = *helpers_[static_cast<size_t>(job.helper)];
  for (;;) {
    if (!helper.listings.empty()) {
      Helper::Held& first = helper.listings.front();
      // What comes before the folder in the walk's order is of folders the
      // walk passed over.
      const bool behind = first.subtree < job.subtree ||
                          (first.subtree == job.subtree && WalkReachesFirst(first.path, job.path, fold_));
      const bool match = first.subtree == job.subtree && first.path == job.path;
      if (!behind && !match) return Served::Missed;
      // Listed with another identity, its subfolders' identities may differ.
      const bool same = match && first.known == job.known && (!job.known || first.id == job.id);
      if (same) {
        job.listed = first.listed;
        job.foldedFiles = std::move(first.foldedFiles);
        job.subfolders = std::move(first.subfolders);
        if (!job.withFiles) job.foldedFiles.clear();
        ++served_;
      }
      helper.listingBytes -= first.bytes;
      helper.listings.pop_front();
      if (behind) continue;
      return same ? Served::Listed : Served::Missed;
    }
    const bool ended = helper.unfinished.empty() || helper.unfinished.front() > job.subtree;
    if (ended || helper.gone) return Served::Missed;
    if (Receive(helper)) continue;
    if (helper.gone) return Served::Missed;
    // Still on an earlier subtree, which the walk has gone past (a link led
    // it into that part first): the walk lists on rather than wait for the
    // whole of it.
    if (helper.unfinished.front() < job.subtree) return Served::Missed;
    if (clock_() - helper.heardAt >= kSilenceLimitMs) {
      helper.gone = true;
      return Served::Missed;
    }
    return Served::NotYet;
  }
}

}  // namespace core
