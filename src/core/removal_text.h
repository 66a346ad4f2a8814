// Taking a detection line apart again for its removal, and the rules that
// decide which running programs the definitions name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/definitions_index.h"
#include "core/definitions_list.h"
#include "core/detection.h"

namespace core {

struct RemovalPaths {
  std::string filePath;        // the detected file
  std::string fileName;        // its name alone
  std::string quarantinePath;  // its copy in the quarantine folder, under its own name where it can
  std::string siblingPath;     // its "QVR" copy beside it
  std::string journalPath;     // the quarantine journal that records it
  std::string description;     // the detection's description
};

// Where the removal of a detected file puts its copies and its record, in the
// program's folder `applicationFolder` and beside the file.
RemovalPaths PathsForDetection(const Detection& detection, std::string_view applicationFolder);

// Where the removal first writes a file's quarantine copy, under a name that
// marks it unfinished until the original is gone; it is never listed, and
// start-up finishes or removes one that a stop left. The name follows from
// the finished copy's path alone, so a record of that path finds it.
std::string UnfinishedCopyPath(std::string_view quarantinePath);
bool IsUnfinishedCopyName(std::string_view name);

// The file path with its extension replaced by "QVR" ("C:\Temp\foo.exe" gives
// "C:\Temp\foo.QVR"). A name without an extension gets ".QVR" appended, so
// the copy always lies beside the file, never in some other folder.
std::string SiblingCopyPath(std::string_view filePath);

// The path with " (<number>)" put before the extension of its name
// ("C:\Q\dup.dll", 2 gives "C:\Q\dup (2).dll"); number 1 is the path itself.
// A copy never overwrites a file: the next number is tried instead.
std::string NumberedPath(std::string_view path, int number);

// The part of a path after its last "\".
std::string_view FileNameOf(std::string_view path);

// The total after `removed` more objects; it stops at the largest 32-bit
// value instead of wrapping round to a negative number.
int32_t AddRemoved(int32_t counter, int32_t removed = 1);

// What the removal does about running programs on a platform: 1 is the
// 95/98 family and 2 the NT family, where the programs are looked for; any
// other platform is not recognised and none is touched.
enum class ProcessPass { Run, NotRecognized };
ProcessPass ProcessPassFor(int32_t platformId);

// A core part of Windows, which the process pass never ends whatever the
// definitions say: an image on a short fixed list of names that lies in the
// Windows folder or its system folder. A program of such a name anywhere
// else is no part of Windows. Both folders come without a final "\".
bool IsCoreSystemProcess(std::string_view imagePath, std::string_view windowsFolder, std::string_view systemFolder,
                         const FoldCase& fold);

// How many reference entries name an executable (list order, header and
// records without "|" never do): one termination notice for each.
size_t EntriesNaming(std::string_view executableName, const DefinitionsIndex& index);

}  // namespace core
