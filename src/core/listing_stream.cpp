#include "core/listing_stream.h"

#include <algorithm>
#include <utility>

#include "core/walk_ahead.h"

namespace core {
namespace {

// Every message is its length, then its fields; numbers little-endian.
// Far above nearly every folder's listing, far below what would exhaust a
// 32-bit process's memory; a larger listing is not sent, and the scan
// lists that folder itself.
constexpr uint32_t kLongestMessage = 64u * 1024 * 1024;
// Bytes of listings a helper gathers before one send: few sends, each a
// call to the system. A subtree starts with small sends that double in
// size, as the scan is usually waiting for its first folders.
constexpr size_t kFirstSendBytes = 512;
constexpr size_t kBytesPerSend = 16 * 1024;

void PutNumber(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

void PutText(std::string& out, const std::string& text) {
  PutNumber(out, text.size(), 4);
  out += text;
}

void PutId(std::string& out, const FolderId& id) {
  PutNumber(out, id.volume, 8);
  PutNumber(out, id.index, 8);
}

// Wraps the fields written from `start` on in their length.
void Seal(std::string& out, size_t start) {
  const uint64_t length = out.size() - start - 4;
  for (int i = 0; i < 4; ++i) out[start + i] = static_cast<char>((length >> (8 * i)) & 0xff);
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  bool Number(uint64_t& value, int bytes) {
    if (bytes_.size() - at_ < static_cast<size_t>(bytes)) return false;
    value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<uint64_t>(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i);
    at_ += bytes;
    return true;
  }
  template <typename T>
  bool Small(T& value, int bytes) {
    uint64_t wide = 0;
    if (!Number(wide, bytes)) return false;
    value = static_cast<T>(wide);
    return true;
  }
  bool Flag(bool& value) {
    uint64_t byte = 0;
    if (!Number(byte, 1) || byte > 1) return false;
    value = byte == 1;
    return true;
  }
  bool Text(std::string& text) {
    uint64_t length = 0;
    if (!Number(length, 4) || bytes_.size() - at_ < length) return false;
    text.assign(bytes_.data() + at_, static_cast<size_t>(length));
    at_ += static_cast<size_t>(length);
    return true;
  }
  bool Id(FolderId& id) { return Number(id.volume, 8) && Number(id.index, 8); }
  // A count of items each at least `itemBytes` long; more than the rest
  // could hold is a lie, and must not size a vector.
  bool Count(size_t& count, size_t itemBytes) {
    return Small(count, 4) && count <= (bytes_.size() - at_) / itemBytes;
  }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  std::string_view bytes_;
  size_t at_ = 0;
};

// Finds the message at the start of `bytes`; its fields are left in `body`.
Decoded Frame(std::string_view bytes, size_t& used, std::string_view& body) {
  if (bytes.size() < 4) return Decoded::NeedMore;
  uint64_t length = 0;
  Reader(bytes.substr(0, 4)).Number(length, 4);
  if (length > kLongestMessage) return Decoded::Malformed;
  if (bytes.size() - 4 < length) return Decoded::NeedMore;
  body = bytes.substr(4, static_cast<size_t>(length));
  used = 4 + static_cast<size_t>(length);
  return Decoded::Complete;
}

bool ReadListing(Reader& in, SubtreeListing& listing) {
  if (!in.Small(listing.subtree, 4) || !in.Flag(listing.end)) return false;
  if (listing.end) return in.AtEnd();
  size_t files = 0, subfolders = 0;
  if (!in.Text(listing.path) || !in.Id(listing.id) || !in.Flag(listing.known) || !in.Flag(listing.listed) ||
      !in.Count(files, 4)) {
    return false;
  }
  listing.foldedFiles.resize(files);
  for (std::string& name : listing.foldedFiles) {
    if (!in.Text(name)) return false;
  }
  if (!in.Count(subfolders, 4 + 16 + 1)) return false;
  listing.subfolders.resize(subfolders);
  for (Subfolder& subfolder : listing.subfolders) {
    if (!in.Text(subfolder.name) || !in.Id(subfolder.id) || !in.Flag(subfolder.identified)) return false;
  }
  return in.AtEnd();
}

// The name of the path's component that starts at `at`.
std::string_view ComponentAt(const std::string& path, size_t at) {
  const size_t end = path.find('\\', at);
  return std::string_view(path).substr(at, end == std::string::npos ? std::string::npos : end - at);
}

// True when `below` lies somewhere under the folder `above`.
bool LeadsTo(const std::string& above, const std::string& below) {
  return !above.empty() && below.size() > above.size() && below.compare(0, above.size(), above) == 0 &&
         (above.back() == '\\' || below[above.size()] == '\\');
}

}  // namespace

void AppendRequest(std::string& out, const SubtreeRequest& request) {
  const size_t start = out.size();
  PutNumber(out, 0, 4);
  PutNumber(out, request.subtree, 4);
  PutText(out, request.root);
  PutId(out, request.id);
  PutNumber(out, request.known ? 1 : 0, 1);
  PutNumber(out, request.depth, 4);
  PutNumber(out, request.withFiles ? 1 : 0, 1);
  PutNumber(out, request.passOver.size(), 4);
  for (const FolderId& id : request.passOver) PutId(out, id);
  Seal(out, start);
}

void AppendListing(std::string& out, const SubtreeListing& listing) {
  const size_t start = out.size();
  PutNumber(out, 0, 4);
  PutNumber(out, listing.subtree, 4);
  PutNumber(out, listing.end ? 1 : 0, 1);
  if (!listing.end) {
    PutText(out, listing.path);
    PutId(out, listing.id);
    PutNumber(out, listing.known ? 1 : 0, 1);
    PutNumber(out, listing.listed ? 1 : 0, 1);
    PutNumber(out, listing.foldedFiles.size(), 4);
    for (const std::string& name : listing.foldedFiles) PutText(out, name);
    PutNumber(out, listing.subfolders.size(), 4);
    for (const Subfolder& subfolder : listing.subfolders) {
      PutText(out, subfolder.name);
      PutId(out, subfolder.id);
      PutNumber(out, subfolder.identified ? 1 : 0, 1);
    }
  }
  Seal(out, start);
}

void AppendReady(std::string& out) {
  SubtreeListing ready;
  ready.end = true;
  AppendListing(out, ready);
}

Decoded DecodeRequest(std::string_view bytes, size_t& used, SubtreeRequest& request) {
  std::string_view body;
  const Decoded framed = Frame(bytes, used, body);
  if (framed != Decoded::Complete) return framed;
  Reader in(body);
  size_t passOver = 0;
  if (!in.Small(request.subtree, 4) || !in.Text(request.root) || !in.Id(request.id) || !in.Flag(request.known) ||
      !in.Small(request.depth, 4) || !in.Flag(request.withFiles) || !in.Count(passOver, 16)) {
    return Decoded::Malformed;
  }
  request.passOver.resize(passOver);
  for (FolderId& id : request.passOver) {
    if (!in.Id(id)) return Decoded::Malformed;
  }
  return in.AtEnd() ? Decoded::Complete : Decoded::Malformed;
}

Decoded DecodeListing(std::string_view bytes, size_t& used, SubtreeListing& listing) {
  std::string_view body;
  const Decoded framed = Frame(bytes, used, body);
  if (framed != Decoded::Complete) return framed;
  Reader in(body);
  listing = SubtreeListing();
  return ReadListing(in, listing) ? Decoded::Complete : Decoded::Malformed;
}

bool ListSubtree(const SubtreeRequest& request, std::set<FolderId>& visited, FolderLister& lister,
                 const FoldCase& fold, const std::function<bool(const std::string&)>& send) {
  visited.insert(request.passOver.begin(), request.passOver.end());
  WalkAhead walk(DelegatedFolder{request.root, request.id, request.known, request.depth, {}}, request.withFiles, visited);
  std::string listings;
  size_t sendAt = kFirstSendBytes;
  FolderVisit visit;
  FolderJob job;
  for (WalkAhead::Step step; (step = walk.Next(true, visit, job)) != WalkAhead::Step::Done;) {
    if (step != WalkAhead::Step::Job) continue;
    RunFolderJob(job, lister, fold);
    if (!job.identify) {
      SubtreeListing listing;
      listing.subtree = request.subtree;
      listing.path = job.path;
      listing.id = job.id;
      listing.known = job.known;
      listing.listed = job.listed;
      listing.foldedFiles = std::move(job.foldedFiles);
      listing.subfolders = job.subfolders;
      const size_t start = listings.size();
      AppendListing(listings, listing);
      if (listings.size() - start - 4 > kLongestMessage) listings.resize(start);
      if (listings.size() >= sendAt) {
        if (!send(listings)) return false;
        listings.clear();
        sendAt = std::min(sendAt * 2, kBytesPerSend);
      }
    }
    walk.Finish(job);
  }
  SubtreeListing end;
  end.subtree = request.subtree;
  end.end = true;
  AppendListing(listings, end);
  return send(listings);
}

bool WalkReachesFirst(const std::string& a, const std::string& b, const FoldCase& fold) {
  // The folder above comes before everything below it.
  if (LeadsTo(a, b)) return true;
  if (a == b || LeadsTo(b, a)) return false;
  // Otherwise they part in one component, which the walk compares as it
  // sorts a folder's subfolders.
  size_t common = 0;
  while (common < a.size() && common < b.size() && a[common] == b[common]) ++common;
  const size_t at = common == 0 ? std::string::npos : a.rfind('\\', common - 1);
  const size_t start = at == std::string::npos ? 0 : at + 1;
  const std::string_view nameA = ComponentAt(a, start), nameB = ComponentAt(b, start);
  const std::string foldedA = fold(nameA), foldedB = fold(nameB);
  return foldedA != foldedB ? foldedA < foldedB : nameA < nameB;
}

}  // namespace core
