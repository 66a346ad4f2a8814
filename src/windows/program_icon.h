// The program's icon for its windows' frames and task bar buttons.
#pragma once

#include <windows.h>

namespace windows {

// At the system's large or small icon size; owned by the system.
HICON ProgramIcon(bool small);

}  // namespace windows
