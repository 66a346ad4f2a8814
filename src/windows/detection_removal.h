// Quarantine from a list of detection lines, as the scan window and the
// guard window both offer it.
#pragma once

#include <windows.h>

namespace windows {

struct Program;

// Ends the programs the definitions name, then moves the file of every
// marked line of `list` into quarantine and takes away the lines whose file
// is gone; files that stay are named in one message owned by `owner`.
void QuarantineMarkedDetections(Program& program, HWND owner, HWND list);

}  // namespace windows
