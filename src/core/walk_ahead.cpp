#include "core/walk_ahead.h"

#include <algorithm>
#include <utility>

namespace core {

struct AheadFolder {
  enum class State { Waiting, Running, Done };

  std::string path;
  FolderId id;
  size_t depth = 0;
  // The folder this one was listed in, while that one is still ahead of the
  // walk; null once the walk has visited it.
  AheadFolder* parent = nullptr;
  State state = State::Waiting;
  bool settled = false;  // the identity was learnt, or found not to be known
  bool known = false;    // `id` is the folder's and usable
  bool entered = false;  // the walk reached the folder and will visit it
  bool dropped = false;  // the walk passed it over; a job still running on it is wasted
  std::vector<std::string> foldedFiles;
  std::vector<std::shared_ptr<AheadFolder>> subfolders;
  size_t bytes = 0;  // about what the listing holds, counted while it is ahead
};

namespace {

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

// The folded names in name order ignoring case. Names equal but for case
// fold alike and are examined alike, so their order among themselves does
// not matter.
std::vector<std::string> SortedFoldedNames(const std::vector<std::string>& names, const FoldCase& fold) {
  std::vector<std::string> folded;
  folded.reserve(names.size());
  for (const std::string& name : names) folded.push_back(fold(name));
  std::sort(folded.begin(), folded.end());
  return folded;
}

void SortByFoldedName(std::vector<Subfolder>& subfolders, const FoldCase& fold) {
  std::vector<std::pair<std::string, Subfolder>> keyed;
  keyed.reserve(subfolders.size());
  for (Subfolder& subfolder : subfolders) keyed.emplace_back(fold(subfolder.name), std::move(subfolder));
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second.name < b.second.name;
  });
  subfolders.clear();
  for (auto& [key, subfolder] : keyed) subfolders.push_back(std::move(subfolder));
}

std::shared_ptr<AheadFolder> MakeFolder(Subfolder&& subfolder, size_t depth, AheadFolder* parent) {
  auto folder = std::make_shared<AheadFolder>();
  folder->path = std::move(subfolder.name);
  folder->id = subfolder.id;
  folder->depth = depth;
  folder->parent = parent;
  folder->settled = subfolder.identified;
  folder->known = subfolder.identified && subfolder.id.index != 0;
  return folder;
}

}  // namespace

void RunFolderJob(FolderJob& job, FolderLister& lister, const FoldCase& fold) {
  if (job.identify) {
    FolderId id;
    // Some file systems give every folder the index 0, which says nothing:
    // it would make every folder after the first look like one already walked.
    job.known = lister.Identify(job.path, id) && id.index != 0;
    job.id = id;
    return;
  }
  std::vector<std::string> files;
  job.foldedFiles.clear();
  job.subfolders.clear();
  job.listed = lister.List(job.path, job.known ? &job.id : nullptr, files, job.subfolders);
  if (!job.listed) {
    job.subfolders.clear();
    return;
  }
  if (job.withFiles) job.foldedFiles = SortedFoldedNames(files, fold);
  SortByFoldedName(job.subfolders, fold);
  for (Subfolder& subfolder : job.subfolders) subfolder.name = JoinPath(job.path, subfolder.name);
}

WalkAhead::WalkAhead(const std::string& root, bool withFiles, std::set<FolderId>& visited, AheadLimits limits)
    : withFiles_(withFiles), visited_(visited), limits_(limits) {
  Subfolder top;
  top.name = root;
  levels_.push_back({{MakeFolder(std::move(top), 0, nullptr)}, 0});
}

WalkAhead::~WalkAhead() = default;

void WalkAhead::Advance() {
  while (!levels_.empty()) {
    Level& level = levels_.back();
    if (level.next == level.folders.size()) {
      levels_.pop_back();
      continue;
    }
    AheadFolder& folder = *level.folders[level.next];
    if (folder.entered || !folder.settled) return;
    // A folder whose identity cannot be learnt is walked: it cannot be shown
    // to be one already walked. Only the depth limit keeps a link that leads
    // back into such a tree from being walked for ever.
    const bool enters = folder.known ? visited_.insert(folder.id).second : folder.depth < kUnknownIdentityDepth;
    if (enters) {
      folder.entered = true;
      return;
    }
    Drop(folder);
    level.folders[level.next++].reset();
  }
}

WalkAhead::Step WalkAhead::Next(bool takeJob, FolderVisit& visit, FolderJob& job) {
  Advance();
  if (levels_.empty()) return Step::Done;
  Level& level = levels_.back();
  const std::shared_ptr<AheadFolder> folder = level.folders[level.next];
  if (folder->state == AheadFolder::State::Waiting && takeJob) {
    Take(folder, job);
    return Step::Job;
  }
  if (folder->state != AheadFolder::State::Done) return Step::Wait;
  level.folders[level.next++].reset();
  --foldersAhead_;
  bytesAhead_ -= folder->bytes;
  visit.folder = std::move(folder->path);
  visit.foldedFiles = std::move(folder->foldedFiles);
  if (!folder->subfolders.empty()) {
    for (const std::shared_ptr<AheadFolder>& subfolder : folder->subfolders) subfolder->parent = nullptr;
    levels_.push_back({std::move(folder->subfolders), 0});
  }
  return Step::Visit;
}

bool WalkAhead::Ready() {
  Advance();
  return levels_.empty() || levels_.back().folders[levels_.back().next]->state == AheadFolder::State::Done;
}

bool WalkAhead::TakeJobAhead(FolderJob& job) {
  Advance();
  if (levels_.empty()) return false;
  const Level& top = levels_.back();
  if (top.folders[top.next]->state == AheadFolder::State::Waiting) {
    Take(top.folders[top.next], job);
    return true;
  }
  if (foldersAhead_ >= limits_.folders || bytesAhead_ >= limits_.bytes) return false;
  // Below a deep folder lie many levels with nothing left to list; the
  // search gives up after a while rather than hold the lock for long.
  size_t budget = 2 * limits_.folders + 64;
  for (auto level = levels_.rbegin(); level != levels_.rend(); ++level) {
    if (budget == 0) return false;
    --budget;
    for (size_t i = level->next; i < level->folders.size(); ++i) {
      if (FindJob(level->folders[i], job, budget)) return true;
      if (budget == 0) return false;
    }
  }
  return false;
}

bool WalkAhead::FindJob(const std::shared_ptr<AheadFolder>& folder, FolderJob& job, size_t& budget) {
  if (budget == 0) return false;
  --budget;
  switch (folder->state) {
    case AheadFolder::State::Waiting:
      if (!MayListAhead(*folder)) return false;
      Take(folder, job);
      return true;
    case AheadFolder::State::Running:
      return false;
    case AheadFolder::State::Done:
      break;
  }
  for (const std::shared_ptr<AheadFolder>& subfolder : folder->subfolders) {
    if (FindJob(subfolder, job, budget)) return true;
  }
  return false;
}

bool WalkAhead::MayListAhead(const AheadFolder& folder) const {
  // Learning an identity costs little and settles what the walk will do.
  if (!folder.settled) return true;
  if (!folder.known) return folder.depth < kUnknownIdentityDepth;
  // The walk will pass over a folder met before, and over one that leads
  // back to a folder on its way there (a link to an ancestor): listing it
  // would be wasted, and would follow the link loop.
  if (visited_.count(folder.id) != 0) return false;
  for (const AheadFolder* above = folder.parent; above != nullptr; above = above->parent) {
    if (above->known && above->id == folder.id) return false;
  }
  return true;
}

void WalkAhead::Take(const std::shared_ptr<AheadFolder>& folder, FolderJob& job) {
  folder->state = AheadFolder::State::Running;
  ++foldersAhead_;
  job.folder = folder;
  job.path = folder->path;
  job.identify = !folder->settled;
  job.withFiles = withFiles_;
  job.id = folder->id;
  job.known = folder->known;
}

void WalkAhead::Finish(FolderJob& job) {
  const std::shared_ptr<AheadFolder> folder = std::move(job.folder);
  if (folder->dropped) return;
  if (job.identify) {
    folder->settled = true;
    folder->known = job.known;
    folder->id = job.id;
    folder->state = AheadFolder::State::Waiting;
    --foldersAhead_;
    return;
  }
  folder->state = AheadFolder::State::Done;
  folder->foldedFiles = std::move(job.foldedFiles);
  size_t bytes = sizeof(AheadFolder) + folder->path.size();
  for (const std::string& name : folder->foldedFiles) bytes += sizeof(std::string) + name.size();
  folder->subfolders.reserve(job.subfolders.size());
  for (Subfolder& subfolder : job.subfolders) {
    bytes += sizeof(AheadFolder) + subfolder.name.size();
    folder->subfolders.push_back(MakeFolder(std::move(subfolder), folder->depth + 1, folder.get()));
  }
  job.foldedFiles.clear();
  job.subfolders.clear();
  folder->bytes = bytes;
  bytesAhead_ += bytes;
}

void WalkAhead::Drop(AheadFolder& folder) {
  folder.dropped = true;
  if (folder.state != AheadFolder::State::Waiting) --foldersAhead_;
  bytesAhead_ -= folder.bytes;
  for (const std::shared_ptr<AheadFolder>& subfolder : folder.subfolders) Drop(*subfolder);
  folder.subfolders.clear();
  folder.foldedFiles.clear();
}

}  // namespace core
