// The definitions update as the user sees it: the questions and answers in
// message boxes, the download window and the busy pointer.
#pragma once

namespace windows {

struct Program;

// `userRequested` is false for the automatic check at start, which stays
// silent about failures.
void CheckForUpdates(Program& program, bool userRequested);
void DownloadDefinitions(Program& program);

}  // namespace windows
