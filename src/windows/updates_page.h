// The Updates tab: what checking for new definitions does, and Check Now.
#pragma once

#include <functional>
#include <vector>

#include "toolkit/controls.h"

namespace windows {

class UpdatesPage {
 public:
  // The page's controls, in tab order; Check Now runs `checkForUpdates`.
  static std::vector<toolkit::ControlRow> Rows(std::function<void()> checkForUpdates);
};

}  // namespace windows
