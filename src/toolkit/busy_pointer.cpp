#include "toolkit/busy_pointer.h"

#include <windows.h>

namespace toolkit {
namespace {

// One user-interface thread, so one pointer state for the whole program.
// A guard's end always brings the arrow back, also when guards overlap:
// work that ends has nothing left running that it could show.
bool busy = false;
Pointer current = Pointer::Hourglass;

void SetBusyCursor() { SetCursor(LoadCursorW(nullptr, current == Pointer::Hourglass ? IDC_WAIT : IDC_APPSTARTING)); }

}  // namespace

BusyPointer::BusyPointer(Pointer shown) {
  busy = true;
  current = shown;
  SetBusyCursor();
}

BusyPointer::~BusyPointer() { Release(); }

void BusyPointer::Release() {
  if (!held_) return;
  held_ = false;
  busy = false;
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

bool ShowBusyPointer() {
  if (!busy) return false;
  SetBusyCursor();
  return true;
}

}  // namespace toolkit
