#include "features/removed_total.h"

#include <climits>
#include <string>

#include "core/removal_text.h"
#include "core/setting_values.h"
#include "features/settings.h"

namespace features {

RemovedTotal::RemovedTotal() {
  const double value = core::ReadNumber(GetAppSetting(core::kTotalObjectsRemoved, "0"));
  if (value >= static_cast<double>(INT32_MAX)) {
    total_ = INT32_MAX;
  } else if (value <= static_cast<double>(INT32_MIN)) {
    total_ = INT32_MIN;
  } else {
    total_ = static_cast<int32_t>(value);
  }
}

void RemovedTotal::Add(int32_t removed) {
  if (removed <= 0) return;
  total_ = core::AddRemoved(total_, removed);
  Store();
}

void RemovedTotal::Store() const { SaveAppSetting(core::kTotalObjectsRemoved, std::to_string(total_)); }

}  // namespace features
