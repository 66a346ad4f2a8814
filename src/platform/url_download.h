// Fetching a file from the update server, and removing local files for good.
#pragma once

#include <string>

namespace platform {

// Downloads the resource at `url` into `path`, blocking until it is done,
// always from the server rather than a cache. True only for a successful
// answer received whole; `path` may hold a partial file otherwise.
bool DownloadUrlToFile(const std::string& url, const std::string& path);

// Deletes a file, clearing a read-only mark if that is what stands in the
// way; every error is ignored.
void DeleteFileForced(const std::string& path);

}  // namespace platform
