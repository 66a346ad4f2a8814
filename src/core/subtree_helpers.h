// The scan's side of its listing helpers, whatever carries the bytes: which
// subtrees each helper walks, and the listings it sent back, handed to the
// walk as it reaches each folder. The walk still takes every listing in its
// own order and applies its own guards, so what a scan finds is the same.
// Used from the walk's own thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/definitions_index.h"
#include "core/folder_walk.h"
#include "core/walk_ahead.h"

namespace core {

// The way to one helper.
class HelperLink {
 public:
  virtual ~HelperLink() = default;
  // Waits until all of `bytes` is on its way; false when the helper is gone.
  virtual bool Send(std::string_view bytes) = 0;
  // Appends what the helper has written so far, at most `most` bytes,
  // without waiting; false once the helper is gone and nothing is left.
  virtual bool ReceiveWaiting(std::string& into, size_t most) = 0;
};

// Leaves a subtree of the walk to a helper, as WalkAhead::Delegate does,
// under whatever lock the walk needs.
using DelegateSubtree = std::function<bool(int helper, uint32_t subtree,
                                           const std::function<bool(const std::string&)>& wanted,
                                           DelegatedFolder& root)>;

class SubtreeHelpers {
 public:
  // Listings taken in from one helper and not yet used by the walk, at
  // most, about; the rest waits with the helper, which waits when its pipe
  // is full.
  static constexpr size_t kHeldBytes = 1024 * 1024;
  // A request larger than this is not sent, and its subtree is left to the
  // walk's own listing: sending waits until the helper's pipe has room,
  // and a helper reads requests only between subtrees, while it may be
  // waiting for the walk to take its listings.
  static constexpr size_t kLargestRequest = 16 * 1024;
  // How long the walk waits on a helper that sends nothing, while the
  // helper lives on, before it lists the helper's folders itself: a helper
  // stopped or stuck in a listing that never ends would hold the scan for
  // good.
  static constexpr uint64_t kSilenceLimitMs = 30000;

  // `clock` gives the time in milliseconds; the system's steady clock when
  // none is given.
  explicit SubtreeHelpers(FoldCase fold, size_t heldBytes = kHeldBytes, std::function<uint64_t()> clock = {});
  ~SubtreeHelpers();
  SubtreeHelpers(const SubtreeHelpers&) = delete;
  SubtreeHelpers& operator=(const SubtreeHelpers&) = delete;

  // A helper to send subtrees to; the link must outlive this.
  void Add(HelperLink& link);
  // A folder every walk leaves out; the helpers need not list it.
  void PassOver(const FolderId& id);
  // A new walk begins: what was sent for the last one is behind it.
  void BeginWalk();
  // Takes in what the helpers have written, and sends more subtrees to
  // those that are running short of work, once they have said they are
  // ready.
  void Refill(const DelegateSubtree& delegate, bool withFiles);

  enum class Served { Listed, NotYet, Missed };
  // Fills in a listing job on a folder left to a helper, from what the
  // helper sent: NotYet while the helper is still on its way there, Missed
  // when it passed the folder over, is gone, is still on a subtree the walk
  // has gone past or has been silent too long; the caller then lists the
  // folder itself. Never waits.
  Served Serve(FolderJob& job);

  // True when every helper has said it is ready or is gone; takes in what
  // they have written.
  bool AllReady();

  // The helpers found gone since the last call: what was left to them is
  // for the walk's own listing now.
  std::vector<int> TakeGone();

  // Listings taken from helpers so far.
  size_t served() const { return served_; }

 private:
  struct Helper;

  // Decodes what the helper has written so far, within the bytes held;
  // false when nothing more came.
  bool Receive(Helper& helper);

  FoldCase fold_;
  size_t heldBytes_;
  std::function<uint64_t()> clock_;
  std::vector<FolderId> passOver_;
  std::vector<std::unique_ptr<Helper>> helpers_;
  uint32_t lastSubtree_ = 0;
  size_t served_ = 0;
};

}  // namespace core
