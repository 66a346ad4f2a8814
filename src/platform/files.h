// File system services: the application folder, whole-file reads and
// appends, folder creation, and copies and moves that never overwrite.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Full path of the running executable.
std::string ModulePath();
// The folder that holds the executable, without a trailing "\".
std::string ApplicationFolder();
// ApplicationFolder() + "\" + name.
std::string AppPath(const std::string& name);

enum class ReadResult { Ok, NotFound, Failed, TooLarge };
// Reads a whole file of at most `maxBytes` (TooLarge otherwise, before any
// of it is read). On failure `bytes` is left untouched.
ReadResult ReadFileBytes(const std::string& path, std::string& bytes, uint64_t maxBytes = UINT64_MAX);
// Reads the first `count` bytes of a file, or all of a shorter one.
ReadResult ReadFileStart(const std::string& path, size_t count, std::string& bytes);
// Reads the last `count` bytes of a file, or all of a shorter one.
ReadResult ReadFileEnd(const std::string& path, size_t count, std::string& bytes);

// Creates a folder; one that exists already, or that cannot be created, is
// left as it is (the caller goes on either way).
void CreateFolder(const std::string& path);


// Whether a file is present and longer than 0 bytes. A missing file (or
// empty path) is Absent; any other failure, such as a folder in the path
// that does not exist, is Failed with the system's description in `error`.
enum class ContentCheck { HasContent, Absent, Failed };
ContentCheck CheckFileHasContent(const std::string& path, std::string& error);

// True when anything (file, folder, device) is at the path.
bool PathExists(const std::string& path);
// True when the path names an existing folder or drive root.
bool IsFolder(const std::string& path);
// The path made absolute against the current folder; unchanged on failure.
std::string FullPath(const std::string& path);
// The path with each short (8.3) name in it written as its long name, as far
// as the folders it names exist ("C:\PROGRA~1\LONG~ZAT\gone.exe" gives
// "C:\Program Files\LongZattera\gone.exe"); unchanged when it holds no "~",
// which every short name the system makes holds.
std::string LongPathOf(const std::string& path);

// True when both files can be read and hold the same bytes. Read piece by
// piece, so a file of any size is compared; a failure to read counts as a
// difference.
bool SameContent(const std::string& first, const std::string& second);

// A file's size and last-write time (100 ns ticks since 1601); false when
// it cannot be read.
bool SizeAndWriteTime(const std::string& path, uint64_t& size, uint64_t& writeTime);

// Writes what the system holds of a file out to the disk; false when that
// fails.
bool FlushToDisk(const std::string& path);

// Appends one line to a text file in a single write and flushes it. A file
// whose last line was cut short first gets a line break, so the new line
// stands on its own. False when the line cannot be written and flushed.
bool AppendLine(const std::string& path, const std::string& line);

enum class CopyResult { Copied, TargetExists, Failed };
// Copies a file, keeping its attributes, unless something is at `to`.
CopyResult CopyWithoutOverwrite(const std::string& from, const std::string& to);

// Creates the folders on the way to `file` that are missing.
void CreateFoldersFor(const std::string& file);

enum class MoveResult { Moved, TargetTaken, Failed };
// Copies `from` to `to` (creating the folders on its way) without replacing
// anything, writes the copy out to the disk, then deletes `from`. When the
// copy cannot be written out or `from` cannot be deleted, the copy is taken
// away again, so a file is never in both places or in neither.
MoveResult MoveWithoutReplacing(const std::string& from, const std::string& to);

// What stands at a path, the path's last component itself examined: a link
// is not followed, so a link put in place of a file is seen as the link it is.
enum class PathKind { PlainFile, Other, Missing, Unknown };
PathKind KindOfPath(const std::string& path);

// Renames a file within its volume, unless something is at `to`.
MoveResult RenameWithoutReplacing(const std::string& from, const std::string& to);

// Clears the read-only, hidden and system marks of a file, whichever it has,
// and gives those it had (as attribute bits).
uint32_t ClearMarks(const std::string& path);
// Adds these read-only, hidden and system marks to a file; false on failure.
bool AddMarks(const std::string& path, uint32_t marks);
// Deletes a file; a read-only mark alone does not protect it. A file that
// still cannot be deleted keeps its attributes.
bool DeleteEvenIfReadOnly(const std::string& path);
// Deletes a file as above, but only when no program holds it open: a
// delete the system grants while another handle is open happens only once
// that handle closes, and the file stays until then.
bool DeleteIfNotInUse(const std::string& path);

}  // namespace platform
