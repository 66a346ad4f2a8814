// One file a scan found: where it is and what the definitions say of it.
// It travels as data from the scan to the list that shows it, the removal,
// the journal and the report; only the list turns it into text.
#pragma once

#include <string>
#include <string_view>

namespace core {

struct Detection {
  // "<folder>\<name>", one "\" also at a drive's root ("C:\x.exe").
  std::string path;
  std::string description;
};

Detection DetectionIn(std::string_view folder, std::string_view name, std::string_view description);

// The line the results list shows: "<path> > <description>".
std::string DetectionLine(const Detection& detection);

}  // namespace core
