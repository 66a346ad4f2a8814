// Paths as the program spells them, shows them and stores them: one "\"
// between names and at a drive's root ("C:\x.exe"), two only where a network
// path starts ("\\server\share"). Case rules for the ASCII letters alone
// serve names of the program's own files and drive letters, whose case the
// user never chose; names of other files fold with the system's rules
// instead (see FoldCase).
#pragma once

#include <string>
#include <string_view>

namespace core {

inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
std::string FoldAscii(std::string_view text);
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

// The path with every run of "\" or "/" made one "\"; the two at the start of
// a network path stay. Text that others wrote, or that earlier releases
// stored, reads through this.
std::string PlainPath(std::string_view path);
// Without separators at the end, but for a drive root's own ("C:\"); a
// drive letter alone gets it, as "C:" names the drive's current folder.
std::string WithoutTrailingSeparators(std::string_view path);
// `folder` and `name` with one "\" between them, also at a drive's root.
std::string JoinPath(std::string_view folder, std::string_view name);
// Starts at a drive's root or as a network path: it names the same place to
// every process, whatever its working folder.
bool IsFullPath(std::string_view path);
// A full path followed by at least one real name: no empty, "." or ".."
// steps and no ":" in them.
bool IsFullPathOfNames(std::string_view path);

}  // namespace core
