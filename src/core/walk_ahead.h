// The state of one folder walk whose folders may be listed ahead of it, out
// of order and on several threads, while the walk still reaches them in its
// own order and with its own guards. It takes no lock itself: whoever shares
// it between threads calls every member under one lock, and runs the jobs it
// hands out without that lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/definitions_index.h"
#include "core/folder_walk.h"

namespace core {

struct AheadFolder;

// One disk task on one folder: learning its identity, or listing it. The
// walk fills in the task, RunFolderJob the result.
struct FolderJob {
  std::shared_ptr<AheadFolder> folder;
  std::string path;
  bool identify = false;  // otherwise list
  bool withFiles = true;
  FolderId id;
  bool known = false;  // `id` is the folder's and usable
  bool listed = false;
  std::vector<std::string> foldedFiles;  // in name order
  std::vector<Subfolder> subfolders;     // full paths, in name order ignoring case
};

// Runs a job with the lister; the sorting happens here too, so that a
// listing thread does it rather than the walk.
void RunFolderJob(FolderJob& job, FolderLister& lister, const FoldCase& fold);

// How far listing may run ahead of the walk: folders listed or being
// listed, and roughly the bytes their listings hold. The walk's own next
// folder is always listed, whatever the limits.
struct AheadLimits {
  size_t folders = 256;
  size_t bytes = 4 * 1024 * 1024;
};

class WalkAhead {
 public:
  // `visited` holds the identities of the folders walked or left out
  // before; the walk adds those it enters.
  WalkAhead(const std::string& root, bool withFiles, std::set<FolderId>& visited, AheadLimits limits = {});
  ~WalkAhead();
  WalkAhead(const WalkAhead&) = delete;
  WalkAhead& operator=(const WalkAhead&) = delete;

  enum class Step { Visit, Job, Wait, Done };
  // The walk's next step: the visit of its next folder once that is listed;
  // the job that folder waits for, if `takeJob` and nobody runs it yet;
  // otherwise Wait. Done when the whole
  // tree was visited.
  Step Next(bool takeJob, FolderVisit& visit, FolderJob& job);
  // A job for a listing thread: the one the walk waits for, else the first
  // one after it in walk order within the limits. False when there is none
  // now.
  bool TakeJobAhead(FolderJob& job);
  void Finish(FolderJob& job);
  // True when Next would hand out a visit or say Done.
  bool Ready();

  size_t foldersAhead() const { return foldersAhead_; }
  size_t bytesAhead() const { return bytesAhead_; }

 private:
  // The subfolders of a folder the walk is in, with the position of the
  // next one it reaches.
  struct Level {
    std::vector<std::shared_ptr<AheadFolder>> folders;
    size_t next = 0;
  };

  // Brings the walk to its next folder that is to be entered: leaves the
  // finished levels, applies the guards to each folder reached whose
  // identity is settled, and drops those passed over.
  void Advance();
  bool MayListAhead(const AheadFolder& folder) const;
  bool FindJob(const std::shared_ptr<AheadFolder>& folder, FolderJob& job, size_t& budget);
  void Take(const std::shared_ptr<AheadFolder>& folder, FolderJob& job);
  void Drop(AheadFolder& folder);

  bool withFiles_;
  std::set<FolderId>& visited_;
  AheadLimits limits_;
  std::vector<Level> levels_;
  size_t foldersAhead_ = 0;
  size_t bytesAhead_ = 0;
};

}  // namespace core
