#include "features/disk_folders.h"

#include "core/definitions_index.h"
#include "platform/disk_lister.h"

namespace features {
namespace {

core::FolderId IdentityOf(const platform::OpenedFolder& opened) {
  return {core::VolumeIdentity(opened.serial, opened.objectName), opened.index};
}

}  // namespace

bool DiskFolderLister::List(const std::string& folder, const core::FolderId* self, std::vector<std::string>& files,
                            std::vector<core::Subfolder>& subfolders) {
  // Kept between calls: a scan lists thousands of folders, on a thread of its own.
  thread_local std::vector<platform::ListedFolder> listed;
  listed.clear();
  platform::FolderIdentity selfIdentity;
  if (self != nullptr) selfIdentity = {self->volume, self->index};
  if (!platform::ListFolder(folder, self != nullptr ? &selfIdentity : nullptr, files, listed, yield_)) return false;
  subfolders.reserve(subfolders.size() + listed.size());
  for (platform::ListedFolder& entry : listed) {
    const core::FolderId id = entry.linked ? IdentityOf(entry.opened) : core::FolderId{entry.id.volume, entry.id.index};
    subfolders.push_back({std::move(entry.name), id, entry.identified});
  }
  return true;
}

bool DiskFolderLister::Identify(const std::string& folder, core::FolderId& id) {
  platform::OpenedFolder opened;
  if (!platform::OpenFolder(folder, opened)) return false;
  id = IdentityOf(opened);
  return true;
}

bool LiesWithin(std::string path, const std::string& folder) {
  DiskFolderLister disk;
  core::FolderId wanted;
  if (!disk.Identify(folder, wanted)) return false;
  for (;;) {
    core::FolderId id;
    if (disk.Identify(path, id) && id == wanted) return true;
    while (!path.empty() && path.back() == '\\') path.pop_back();
    const size_t separator = path.rfind('\\');
    if (separator == std::string::npos) return false;
    path.resize(separator);
    // A drive's root is its letter and a separator; the letter alone
    // would name the device.
    if (!path.empty() && path.back() == ':') path += '\\';
  }
}

std::string FoldFileName(std::string_view name) {
  for (char c : name) {
    if (static_cast<unsigned char>(c) >= 0x80) return platform::LowerCaseText(name);
  }
  return core::FoldAscii(name);
}

}  // namespace features
