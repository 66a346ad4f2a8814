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
// when the walk is to stop.
std::unique_ptr<core::FolderSource> ScanFolderSource(core::FoldCase fold, std::function<bool()> idle);

}  // namespace features
