// The child side of the step-stop tests: runs one operation in the folder
// of its own copy and ends itself, as a kill would, before a chosen step.
#pragma once

#include <string>
#include <vector>

// True when the arguments ask for an operation stopped at a step.
bool IsStoppedOperation(const std::vector<std::string>& arguments);
// Runs it; gives how many steps it took when it was not stopped.
int RunStoppedOperation(const std::vector<std::string>& arguments);
