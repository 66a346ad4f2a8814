// Listing folders on disk for the scan, and the drive list it starts from.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A folder's identity on its volume: a junction or link that leads to a
// folder already walked has the same identity as that folder.
struct FolderIdentity {
  uint64_t volume = 0;
  uint64_t index = 0;
};

// What opening a folder tells of it: its volume's serial number, its file
// index and its full object name ("\Device\HarddiskVolume2\Users"; empty
// where the system gives none).
struct OpenedFolder {
  uint32_t serial = 0;
  uint64_t index = 0;
  std::string objectName;
};

// A subfolder as listed. Its identity comes from the listing, on the
// volume of the folder listed, except for a link or junction, whose target
// is opened to learn its identity (`opened`, empty when it cannot be).
struct ListedFolder {
  std::string name;
  FolderIdentity id;
  bool identified = false;
  bool linked = false;
  OpenedFolder opened;
};

// Names of the folder's files, hidden and system files among them, and its
// subfolders, in the order the file system gives them. `self` is the
// folder's identity when known; subfolders carry theirs where the listing
// yields it cheaply. False when the folder cannot be listed. `yield`, when
// given, is called between the parts of a long listing and answers true
// when the listing is to stop; the folder then counts as unreadable.
bool ListFolder(const std::string& folder, const FolderIdentity* self, std::vector<std::string>& files,
                std::vector<ListedFolder>& subfolders, const std::function<bool()>& yield = {});
// False when the folder cannot be opened or its identity cannot be learnt.
bool OpenFolder(const std::string& folder, OpenedFolder& opened);

// Lower-cases text with the system's rules, as the shell compares names.
std::string LowerCaseText(std::string_view text);

// The logical drives in drive-letter order, each as "<letter>:" with the
// letter in lower case.
std::vector<std::string> LogicalDrives();

// True for a drive list entry ("a:") naming a floppy drive: a: or b:
// reported as removable. The disk itself is not touched.
bool IsFloppyDrive(const std::string& entry);

// A full drive path in the form the file functions take beyond 260
// characters and with names that end in blanks or dots; on 64-bit Windows,
// a path into the system folder leads to the machine's own, not to the one
// the system gives 32-bit programs in its place.
std::wstring ExtendedPath(const std::string& path);

}  // namespace platform
