#include "core/update_limits.h"

namespace core {
namespace {

// The stored names of the limits that can be lowered.
struct Override {
  const char* key;
  uint64_t UpdateLimits::*limit;
};
constexpr Override kOverrides[] = {
    {"VERSIONBYTES", &UpdateLimits::versionFileBytes},
    {"DEFINITIONSBYTES", &UpdateLimits::definitionsBytes},
    {"DEFINITIONSRECORDS", &UpdateLimits::definitionsRecords},
    {"REDIRECTS", &UpdateLimits::redirects},
    {"CONNECTTIMEOUT", &UpdateLimits::connectTimeoutMs},
    {"STALLTIMEOUT", &UpdateLimits::stallTimeoutMs},
    {"DEFINITIONSTIMEOUT", &UpdateLimits::definitionsFetchMs},
};

// A whole number from 1 up to `ceiling`; false for anything else.
bool ReadLowerValue(const std::string& text, uint64_t ceiling, uint64_t& value) {
  if (text.empty() || text.size() > 19) return false;
  uint64_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + static_cast<uint64_t>(c - '0');
  }
  if (number == 0 || number > ceiling) return false;
  value = number;
  return true;
}

}  // namespace

UpdateLimits LimitsWithOverrides(const std::function<std::string(const char* key)>& storedValue) {
  UpdateLimits limits;
  for (const Override& o : kOverrides) ReadLowerValue(storedValue(o.key), limits.*o.limit, limits.*o.limit);
  return limits;
}

}  // namespace core
