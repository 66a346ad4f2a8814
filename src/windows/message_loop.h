// The program's message loop, and the one step of it that long work uses to
// keep the windows alive.
#pragma once

#include <windows.h>

namespace windows {

struct Program;

// Routes one message through keyboard handling and on to its window.
void DispatchProgramMessage(Program& program, MSG& msg);
// Answers what other threads and programs sent to this thread's windows,
// and nothing else: posted messages and input stay queued.
void AnswerSentMessages();
// Runs until the thread's queue receives WM_QUIT.
int RunMessageLoop(Program& program);

}  // namespace windows
