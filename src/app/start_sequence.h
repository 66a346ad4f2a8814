// The start sequence: main window, preferences, definitions, and the
// automatic scan. Run at start-up and again by the splash window's start
// button.
#pragma once

namespace windows {
struct Program;
}

namespace app {

void RunStartSequence(windows::Program& program);

}  // namespace app
