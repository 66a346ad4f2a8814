// Where a scan takes its folders from on this machine.
#pragma once

#include <functional>
#include <memory>

#include "core/definitions_index.h"
#include "core/folder_walk.h"

namespace features {

// A walk that lists ahead on as many threads as the machine has processors,
// at most four; on a single processor, on one thread of its own. `idle` is
// called on the calling thread while it waits for a folder and answers true
// when the walk is to stop. Without `helperProcesses` it lists in this
// process alone, for a walk in the background that must start no programs.
std::unique_ptr<core::FolderSource> ScanFolderSource(core::FoldCase fold, std::function<bool()> idle,
                                                     bool helperProcesses = true);

}  // namespace features
