// The start procedure: main window, preferences, definitions, and the
// automatic scan. Run at start-up and again by the splash window's start
// button.
#pragma once

struct Program;

void goahead(Program& program);
