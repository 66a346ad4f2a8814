// The program's message loop, and the one step of it that long work uses to
// keep the windows alive.
#pragma once

#include <windows.h>

namespace windows {

struct Program;

// Routes one message through keyboard handling and on to its window.
void DispatchProgramMessage(Program& program, MSG& msg);
// Runs until the thread's queue receives WM_QUIT.
int RunMessageLoop(Program& program);

}  // namespace windows
