// The guard's part in the program: started and stopped as the setting
// "Guard the computer while running" and the loaded definitions ask, and
// what it finds shown in a balloon and in the guard window.
#pragma once

#include <windows.h>

namespace windows {

struct Program;

// Posted to the tray window when the guard has something to collect.
constexpr UINT kGuardWakeMessage = WM_APP + 24;

// Starts the guard when the setting is on (it is unless stored as off) and
// the definitions are loaded, on the current definitions; stops it
// otherwise.
void FollowGuardSetting(Program& program);
// Takes what the guard found into the guard window and announces each
// file in a balloon from the tray icon.
void CollectGuardFindings(Program& program);
void StopGuard(Program& program);

}  // namespace windows
