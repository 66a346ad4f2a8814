#include "features/listing_helpers.h"

#include <string>
#include <utility>

#include "features/listing_helper.h"
#include "platform/helper_process.h"

namespace features {
namespace {

// Long enough to spare the system a call per millisecond, short enough for
// a stop to be seen at once.
constexpr unsigned kLongestWaitMs = 20;

}  // namespace

class ListingHelpers::ProcessLink : public core::HelperLink {
 public:
  bool Start() { return process_.Start(kListingHelperSwitch); }
  bool Send(std::string_view bytes) override { return process_.Send(bytes); }
  bool ReceiveWaiting(std::string& into, size_t most) override { return process_.ReceiveWaiting(into, most); }
  void WaitForAnswers() const { process_.WaitForAnswers(kLongestWaitMs); }
  void End() { process_.End(); }

 private:
  platform::HelperProcess process_;
};

ListingHelpers::ListingHelpers(int count, core::FoldCase fold)
    : subtrees_(std::move(fold)), starter_([this, count] {
        for (int i = 0; i < count && !stopping_; ++i) {
          auto link = std::make_unique<ProcessLink>();
          if (link->Start()) starting_.push_back(std::move(link));
        }
      }) {}

ListingHelpers::~ListingHelpers() {
  stopping_ = true;
  // Waited for, though a start takes a good part of a second under Wine: a
  // program that ended in the middle of a start would leave a helper
  // behind, half started, that never ends.
  starter_.WaitForEnd();
}

bool ListingHelpers::Started() {
  if (!started_ && starter_.Ended()) {
    links_ = std::move(starting_);
    for (const auto& link : links_) subtrees_.Add(*link);
    started_ = true;
  }
  return started_;
}

void ListingHelpers::WaitForAnswers(const core::FolderJob& job) const {
  if (started_ && job.helper >= 0 && static_cast<size_t>(job.helper) < links_.size()) {
    links_[static_cast<size_t>(job.helper)]->WaitForAnswers();
  }
}

void ListingHelpers::Refill(core::WalkAhead& walk, platform::Mutex& mutex, bool withFiles) {
  if (!Started()) return;
  subtrees_.Refill(
      [&](int helper, uint32_t subtree, const std::function<bool(const std::string&)>& wanted,
          core::DelegatedFolder& root) {
        platform::MutexLock lock(mutex);
        return walk.Delegate(helper, subtree, wanted, root);
      },
      withFiles);
  const std::vector<int> gone = subtrees_.TakeGone();
  if (gone.empty()) return;
  // One found silent too long still runs; what it would send is not read.
  for (const int helper : gone) links_[static_cast<size_t>(helper)]->End();
  platform::MutexLock lock(mutex);
  for (const int helper : gone) walk.Release(helper);
}

}  // namespace features
