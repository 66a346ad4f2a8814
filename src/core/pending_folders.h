// Folders handed over to be scanned that no scan run has taken yet.
// Requests come faster than scans end (Explorer starts one process per
// selected folder, all at once) and while a scan runs; each waits here, in
// the order it came, until a run takes it.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <utility>

namespace core {

class PendingFolders {
 public:
  void Add(std::string folder) { folders_.push_back(std::move(folder)); }
  bool empty() const { return folders_.empty(); }

  // The folder that has waited longest, no longer waiting; nullopt when
  // none waits.
  std::optional<std::string> Take() {
    if (folders_.empty()) return std::nullopt;
    std::string folder = std::move(folders_.front());
    folders_.pop_front();
    return folder;
  }

 private:
  std::deque<std::string> folders_;
};

}  // namespace core
