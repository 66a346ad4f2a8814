// What a copy of the program started as a listing helper does: it walks the
// subtrees the scan sends it and sends back their listings, until the scan
// closes its end.
#pragma once

#include <string>
#include <vector>

namespace features {

// The argument that starts the program as a listing helper.
inline constexpr const wchar_t* kListingHelperSwitch = L"/listing-helper";

// True for a command line that starts a listing helper.
bool IsListingHelper(const std::vector<std::string>& arguments);

// The helper's whole life; returns its exit code.
int RunListingHelper();

}  // namespace features
