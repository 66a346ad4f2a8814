#include "core/listing_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/definitions_index.h"

namespace {

core::SubtreeListing SampleListing() {
  core::SubtreeListing listing;
  listing.subtree = 7;
  listing.path = "d:\\Games\\Caf\xc3\xa9 ";
  listing.id = {0x1234abcdu, 0x0102030405060708ull};
  listing.known = true;
  listing.listed = true;
  listing.foldedFiles = {"", "a.exe", "readme.txt"};
  listing.subfolders = {{"d:\\Games\\Caf\xc3\xa9 \\x", {5, 6}, true}, {"d:\\Games\\Caf\xc3\xa9 \\y.", {}, false}};
  return listing;
}

// Both directions in one stream, each message whole or not at all: every
// cut short of a message's end asks for more.
TEST(ListingStream, MessagesComeBackAsSentAndOnlyWhenWhole) {
  core::SubtreeRequest request;
  request.subtree = 3;
  request.root = "c:\\Program Files";
  request.id = {9, 10};
  request.known = true;
  request.depth = 2;
  request.withFiles = false;
  request.passOver = {{1, 2}, {3, 4}};
  std::string requests;
  core::AppendRequest(requests, request);

  core::SubtreeListing end;
  end.subtree = 7;
  end.end = true;
  std::string listings;
  core::AppendListing(listings, SampleListing());
  const size_t firstLength = listings.size();
  core::AppendListing(listings, end);

  size_t used = 0;
  core::SubtreeRequest gotRequest;
  ASSERT_EQ(core::DecodeRequest(requests, used, gotRequest), core::Decoded::Complete);
  EXPECT_EQ(used, requests.size());
  EXPECT_EQ(gotRequest.root, request.root);
  EXPECT_EQ(gotRequest.subtree, 3u);
  EXPECT_EQ(gotRequest.id.index, 10u);
  EXPECT_TRUE(gotRequest.known);
  EXPECT_EQ(gotRequest.depth, 2u);
  EXPECT_FALSE(gotRequest.withFiles);
  ASSERT_EQ(gotRequest.passOver.size(), 2u);
  EXPECT_EQ(gotRequest.passOver[1].volume, 3u);

  core::SubtreeListing got;
  ASSERT_EQ(core::DecodeListing(listings, used, got), core::Decoded::Complete);
  EXPECT_EQ(used, firstLength);
  const core::SubtreeListing sample = SampleListing();
  EXPECT_EQ(got.path, sample.path);
  EXPECT_EQ(got.id.volume, sample.id.volume);
  EXPECT_EQ(got.id.index, sample.id.index);
  EXPECT_TRUE(got.known && got.listed && !got.end);
  EXPECT_EQ(got.foldedFiles, sample.foldedFiles);
  ASSERT_EQ(got.subfolders.size(), 2u);
  EXPECT_EQ(got.subfolders[0].name, sample.subfolders[0].name);
  EXPECT_EQ(got.subfolders[0].id.index, 6u);
  EXPECT_TRUE(got.subfolders[0].identified);
  EXPECT_FALSE(got.subfolders[1].identified);
  ASSERT_EQ(core::DecodeListing(std::string_view(listings).substr(firstLength), used, got), core::Decoded::Complete);
  EXPECT_TRUE(got.end);
  EXPECT_EQ(got.subtree, 7u);

  for (size_t cut = 0; cut < firstLength; ++cut) {
    EXPECT_EQ(core::DecodeListing(listings.substr(0, cut), used, got), core::Decoded::NeedMore) << cut;
  }
  for (size_t cut = 0; cut < requests.size(); ++cut) {
    EXPECT_EQ(core::DecodeRequest(requests.substr(0, cut), used, gotRequest), core::Decoded::NeedMore) << cut;
  }
}

// What the other side could not have written is refused, and never sizes
// anything by a count it claims.
TEST(ListingStream, MalformedMessagesAreRefused) {
  std::string valid;
  core::AppendListing(valid, SampleListing());
  // The count of files sits after the length, number, end mark, path,
  // identity and the two flags.
  const size_t filesCountAt = 4 + 4 + 1 + 4 + SampleListing().path.size() + 16 + 2;
  struct Row {
    const char* what;
    std::string bytes;
  };
  std::string hugeCount = valid, hugeText = valid, badFlag = valid, longer = valid, tooLong = "\xff\xff\xff\x7f";
  hugeCount.replace(filesCountAt, 4, "\xff\xff\xff\x0f");
  hugeText.replace(9, 4, "\xff\xff\xff\x0f");
  badFlag[8] = 2;
  longer[0] = static_cast<char>(longer[0] + 1);
  longer += 'x';
  const Row rows[] = {
      {"a count beyond the message", hugeCount},
      {"a text beyond the message", hugeText},
      {"a flag neither 0 nor 1", badFlag},
      {"bytes left over", longer},
      {"a length beyond any listing", tooLong},
  };
  for (const Row& row : rows) {
    size_t used = 0;
    core::SubtreeListing listing;
    EXPECT_EQ(core::DecodeListing(row.bytes, used, listing), core::Decoded::Malformed) << row.what;
  }
}

TEST(ListingStream, WalkOrderOfTwoFolders) {
  struct Row {
    const char* a;
    const char* b;
    bool aFirst;
  };
  const Row rows[] = {
      {"d:\\", "d:\\a", true},                    // a drive root before its folders
      {"d:\\a", "d:\\a\\b", true},                // a folder before what lies below it
      {"d:\\a\\b", "d:\\a", false},
      {"d:\\a\\z\\deep", "d:\\b", true},          // a whole subtree before the next sibling
      {"d:\\Beta", "d:\\alpha\\x", false},        // siblings by name ignoring case
      {"d:\\x", "d:\\x y", true},                 // one name the start of the other
      {"d:\\x y\\q", "d:\\x\\q", false},
      {"d:\\a", "d:\\a", false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(core::WalkReachesFirst(row.a, row.b, core::FoldAscii), row.aFirst) << row.a << " / " << row.b;
  }
}

}  // namespace
