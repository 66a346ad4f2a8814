// What a copy of the program started as a listing helper does: it walks the
// subtrees the scan sends it and sends back their listings, until the scan
// closes its end.
#pragma once

#include <string>
#include <vector>

namespace features {

// The argument that starts the program as a listing helper.
inline constexpr const wchar_t* kListingHelperSwitch = L"/listing-helper";

// True for a command line that starts a listing helper: the switch and the
// number of the event by which it tells of new listings.
bool IsListingHelper(const std::vector<std::string>& arguments);

// The helper's whole life, from its command line; returns its exit code.
int RunListingHelper(const std::vector<std::string>& arguments);

}  // namespace features
