// What a mouse event on the notification-area icon asks for.
#pragma once

namespace core {

enum class TrayAction { None, PopupMenu, ShowMainWindow };

// The shell's event code arrives as a single-precision number and is taken
// to the nearest integer first. Left press and right release open the menu;
// a left double-click shows the main window; every other code is ignored.
TrayAction TrayMouseEvent(float eventCode);

}  // namespace core
