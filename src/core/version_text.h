// Reading definitions version numbers and checking a downloaded
// definitions file before it may replace the local one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// Reads a version number written by the publisher: "." is always the
// decimal point, whatever the user's regional settings, since both the
// version file and the definitions header are the publisher's text. Blanks
// and line ends around the number are allowed, and so is text after a
// blank ("1.45 Orvane"). False when the text does not start with a number.
bool ParseVersion(std::string_view text, double& version);

// The version file's first field: up to the first comma or line end,
// leading blanks skipped, a quoted field without its quotes.
std::string ServerVersionText(std::string_view versionFile);

// The first eight characters of the definitions file with every "Ver"
// taken out.
std::string LocalVersionText(std::string_view definitionsStart);

enum class Comparison { Newer, UpToDate, Unknown };
// Newer only when the local number is strictly smaller than the server's.
Comparison Compare(std::string_view localText, std::string_view serverText);

// A downloaded definitions file may replace the local one only when it is
// not empty, its header record is "Ver" and a number, and at least one
// record after it is an entry ("name|description"), and it holds no more
// than `maxRecords` records. An error page or a truncated transfer fails
// this.
bool LooksLikeDefinitions(std::string_view utf8Text, uint64_t maxRecords);

// "http://host[:port]" with any "/" at its end taken off.
std::string BaseAddress(std::string_view configured);

}  // namespace core
