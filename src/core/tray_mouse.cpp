#include "core/tray_mouse.h"

#include <cmath>

namespace core {

TrayAction TrayMouseEvent(float eventCode) {
  if (!std::isfinite(eventCode) || std::fabs(eventCode) >= 2147483648.0f) return TrayAction::None;
  switch (static_cast<long>(std::nearbyint(eventCode))) {
    case 0x201:  // left button pressed
    case 0x205:  // right button released
      return TrayAction::PopupMenu;
    case 0x203:  // left double-click
      return TrayAction::ShowMainWindow;
    default:
      return TrayAction::None;
  }
}

}  // namespace core
