// Small questions to the system and requests to the shell.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace platform {

// dwPlatformId of GetVersionExA: 1 for the 95/98/Me family, 2 for the NT
// family; 0 when the call fails.
int32_t OsPlatformId();
// The Windows folder without a trailing "\", or the empty text on failure.
std::string WindowsDirectory();
// The Windows system folder, likewise.
std::string SystemDirectory();
// Opens a document or web address with its associated program, with
// "C:\" as the working folder; failures are not reported.
void OpenDocument(const std::string& target);
// Performs the verb "open" on a file with the given owner window; failures
// are not reported.
void ShellOpen(HWND owner, const std::string& path);
// Logical pixels per inch of the screen.
int ScreenDpi();

}  // namespace platform
