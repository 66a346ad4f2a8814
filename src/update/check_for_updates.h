// The definitions update: comparing the local definitions version with the
// update server's, and replacing the definitions on request.
#pragma once

#include <string>

struct Program;

// `userRequested` is 1 when the user pressed a button, anything else for the
// automatic check at start, which stays silent about failures.
void CheckForUpdates(Program& program, int userRequested);
void DownloadDefinitions(Program& program);

// The update server's base address: the compiled-in default, unless the
// settings store names another under section "UPDATES", key "SERVER".
std::string UpdateServer();
