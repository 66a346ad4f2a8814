// Fetching a file from the update server.
#pragma once

#include <string>

namespace platform {

// Downloads the resource at `url` into `path`, blocking until it is done,
// always from the server rather than a cache. True only for a successful
// answer received whole; `path` may hold a partial file otherwise.
bool DownloadUrlToFile(const std::string& url, const std::string& path);

}  // namespace platform
