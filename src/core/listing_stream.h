// What the scan and its listing helpers (copies of the program that list
// folders in processes of their own) tell each other. The scan asks for
// whole subtrees; a helper walks each one as the scan would and sends back
// every folder's listing in the walk's order, many folders to one write, so
// that the scan takes them as it reaches them.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/definitions_index.h"
#include "core/folder_walk.h"

namespace core {

struct SubtreeRequest {
  uint32_t subtree = 0;  // the scan's number for it, carried by its listings
  std::string root;
  FolderId id;
  bool known = false;  // `id` is the root's and usable
  size_t depth = 0;    // of the root below the scan's own root
  bool withFiles = true;
  // Folders the scan leaves out, such as its quarantine: the helper need
  // not list them.
  std::vector<FolderId> passOver;
};

// One folder of a subtree as a listing job on it left it, or the mark that
// ends the subtree.
struct SubtreeListing {
  uint32_t subtree = 0;
  bool end = false;  // the subtree is done; nothing else is set
  std::string path;
  FolderId id;  // the identity the folder was listed with
  bool known = false;
  bool listed = false;
  std::vector<std::string> foldedFiles;  // in name order
  std::vector<Subfolder> subfolders;     // full paths, in name order ignoring case
};

void AppendRequest(std::string& out, const SubtreeRequest& request);
void AppendListing(std::string& out, const SubtreeListing& listing);
// What a helper sends first, once it has started and waits for requests:
// the end of subtree 0, a number no request carries. Starting a process
// takes long, and a subtree left to a helper not yet started would hold up
// the walk, which lists on its own until then.
void AppendReady(std::string& out);

enum class Decoded { Complete, NeedMore, Malformed };
// Reads the message at the start of `bytes`; `used` is its length when
// complete. Malformed for anything the other side could not have written.
Decoded DecodeRequest(std::string_view bytes, size_t& used, SubtreeRequest& request);
Decoded DecodeListing(std::string_view bytes, size_t& used, SubtreeListing& listing);

// The helper's side: walks the subtree as the scan would, listing each
// folder just as the scan's own listing job would, and hands the listings
// to `send` whenever enough have gathered and at the end, with the mark
// that ends the subtree. `send` answers false when nobody listens any more,
// which ends the walk. `visited` holds the folders walked before, and
// gains those of this subtree.
bool ListSubtree(const SubtreeRequest& request, std::set<FolderId>& visited, FolderLister& lister,
                 const FoldCase& fold, const std::function<bool(const std::string&)>& send);

// True when a walk of one tree reaches the folder `a` before the folder `b`
// (both paths as the walk builds them): a folder comes before everything
// below it, and sibling subtrees come in name order ignoring case.
bool WalkReachesFirst(const std::string& a, const std::string& b, const FoldCase& fold);

}  // namespace core
