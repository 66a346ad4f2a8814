// The console of the program that started this one, for a program without
// a console of its own.
#pragma once

#include <string>

namespace platform {

// Writes the text, and a line end, to the console of the parent process
// (cmd.exe running a script, say); does nothing when it has none.
void WriteToParentConsole(const std::string& text);

}  // namespace platform
