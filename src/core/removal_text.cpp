#include "core/removal_text.h"

#include <algorithm>
#include <climits>
#include <iterator>

#include "core/paths.h"
#include "core/quarantine_journal.h"

namespace core {

std::string_view FileNameOf(std::string_view path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string SiblingCopyPath(std::string_view filePath) {
  const std::string_view name = FileNameOf(filePath);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return std::string(filePath) + ".QVR";
  const size_t keep = filePath.size() - name.size() + dot + 1;
  return std::string(filePath.substr(0, keep)) + "QVR";
}

std::string NumberedPath(std::string_view path, int number) {
  if (number <= 1) return std::string(path);
  const std::string_view name = FileNameOf(path);
  size_t dot = name.rfind('.');
  // ".hidden" is a name, not an extension.
  if (dot == 0) dot = std::string_view::npos;
  const size_t insertAt = path.size() - name.size() + (dot == std::string_view::npos ? name.size() : dot);
  std::string numbered(path.substr(0, insertAt));
  numbered += " (" + std::to_string(number) + ")";
  numbered += path.substr(insertAt);
  return numbered;
}

namespace {
constexpr std::string_view kUnfinishedSuffix = ".unfinished";
constexpr std::string_view kQuarantinedSuffix = ".quarantined";
}  // namespace

RemovalPaths PathsForDetection(const Detection& detection, std::string_view applicationFolder) {
  RemovalPaths paths;
  paths.filePath = detection.path;
  paths.fileName = std::string(FileNameOf(paths.filePath));
  paths.quarantinePath = std::string(applicationFolder) + "\\Quarantine\\" + paths.fileName;
  // Under its own name it would pass for a copy a crash cut short, and be
  // deleted at the next start.
  if (IsUnfinishedCopyName(paths.fileName)) paths.quarantinePath += kQuarantinedSuffix;
  paths.siblingPath = SiblingCopyPath(paths.filePath);
  paths.journalPath = std::string(applicationFolder) + "\\" + kJournalFileName;
  paths.description = detection.description;
  return paths;
}

std::string UnfinishedCopyPath(std::string_view quarantinePath) {
  // A long name (spyware likes them) with the mark added would pass the
  // longest name a file may have, 255 UTF-16 units on Windows and 255 bytes
  // on the Linux under Wine, and the copy could never be made. Its start and
  // a check sum of the whole name stand in for it, so that start-up finds
  // the record naming the finished copy of each unfinished one.
  constexpr size_t kLongestName = 255;
  constexpr size_t kSumRoom = 9;  // "~" and 8 hexadecimal digits
  constexpr size_t kRoom = kLongestName - kSumRoom - kUnfinishedSuffix.size();
  const size_t slash = quarantinePath.rfind('\\');
  const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const std::string_view whole = quarantinePath.substr(nameStart);
  std::string name(whole);
  if (whole.size() > kRoom) {
    size_t cut = kRoom;
    // Whole characters only: a UTF-8 continuation byte is 10xxxxxx.
    while (cut > 0 && (static_cast<unsigned char>(whole[cut]) & 0xC0) == 0x80) --cut;
    uint32_t sum = 2166136261u;  // FNV-1a
    for (char c : whole) sum = (sum ^ static_cast<unsigned char>(LowerAscii(c))) * 16777619u;
    constexpr const char* kHex = "0123456789abcdef";
    name = std::string(whole.substr(0, cut)) + "~";
    for (int shift = 28; shift >= 0; shift -= 4) name += kHex[(sum >> shift) & 15];
  }
  return std::string(quarantinePath.substr(0, nameStart)) + name + std::string(kUnfinishedSuffix);
}

bool IsUnfinishedCopyName(std::string_view name) {
  if (name.size() <= kUnfinishedSuffix.size()) return false;
  return EqualIgnoringAsciiCase(name.substr(name.size() - kUnfinishedSuffix.size()), kUnfinishedSuffix);
}

int32_t AddRemoved(int32_t counter, int32_t removed) {
  const int64_t sum = static_cast<int64_t>(counter) + (removed > 0 ? removed : 0);
  return sum < INT32_MAX ? static_cast<int32_t>(sum) : INT32_MAX;
}

ProcessPass ProcessPassFor(int32_t platformId) {
  return platformId == 1 || platformId == 2 ? ProcessPass::Run : ProcessPass::NotRecognized;
}

bool IsCoreSystemProcess(std::string_view imagePath, std::string_view windowsFolder, std::string_view systemFolder,
                         const FoldCase& fold) {
  static constexpr std::string_view kCoreNames[] = {
      "audiodg.exe",  "conhost.exe",  "csrss.exe",   "dwm.exe",      "explorer.exe", "fontdrvhost.exe",
      "logonui.exe",  "lsaiso.exe",   "lsass.exe",   "lsm.exe",      "rpcss.exe",    "services.exe",
      "sihost.exe",   "smss.exe",     "spoolsv.exe", "svchost.exe",  "taskhost.exe", "taskhostw.exe",
      "userinit.exe", "wininit.exe",  "winlogon.exe",
  };
  std::string path(imagePath);
  // Early system processes report their image in the kernel's own forms.
  for (std::string_view prefix : {"\\??\\", "\\\\?\\"}) {
    if (path.compare(0, prefix.size(), prefix) == 0) path.erase(0, prefix.size());
  }
  const std::string_view systemRoot = "\\systemroot\\";
  if (fold(path.substr(0, systemRoot.size())) == systemRoot) {
    path = std::string(windowsFolder) + path.substr(systemRoot.size() - 1);
  }
  const std::string name = fold(FileNameOf(path));
  if (std::find(std::begin(kCoreNames), std::end(kCoreNames), name) == std::end(kCoreNames)) return false;
  const std::string folder = fold(std::string_view(path).substr(0, path.size() - name.size() - 1));
  return (!windowsFolder.empty() && folder == fold(windowsFolder)) ||
         (!systemFolder.empty() && folder == fold(systemFolder));
}

size_t EntriesNaming(std::string_view executableName, const DefinitionsIndex& index) {
  if (executableName.empty()) return 0;
  return index.Find(index.fold()(executableName)).size();
}

}  // namespace core
