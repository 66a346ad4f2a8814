// Small questions to the system and requests to the shell.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// dwPlatformId of GetVersionExA: 1 for the 95/98/Me family, 2 for the NT
// family; 0 when the call fails.
int32_t OsPlatformId();
// The Windows folder without a trailing "\", or the empty text on failure.
std::string WindowsDirectory();
// The Windows system folder, likewise.
std::string SystemDirectory();
// The Program Files folders: the system's, and on 64-bit Windows both the
// 64-bit and the 32-bit one; those the system cannot name are left out.
std::vector<std::string> ProgramFilesFolders();
// Opens a document or web address with its associated program, with
// "C:\" as the working folder; failures are not reported.
void OpenDocument(const std::string& target);
// Performs the verb "open" on a file with the given owner window; failures
// are not reported.
void ShellOpen(HWND owner, const std::string& path);
// Logical pixels per inch of the screen.
int ScreenDpi();
// The number of processors the system runs threads on; at least 1.
int ProcessorCount();
// True when this 32-bit program runs on 64-bit Windows, whose machine-wide
// registry has a second view for 64-bit programs.
bool RunsOn64BitWindows();
// The arguments of the process's command line after the program's name.
std::vector<std::string> CommandLineArguments();
// The system's folder dialog; nothing when it is cancelled.
std::optional<std::string> ChooseFolder(HWND owner, const std::string& prompt);
// The system's Open dialog for one existing file; nothing when it is cancelled.
std::optional<std::string> ChooseFile(HWND owner, const std::string& title);

}  // namespace platform
