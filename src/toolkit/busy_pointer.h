// The program-wide busy pointer, held by a guard for the span of long work.
#pragma once

namespace toolkit {

enum class Pointer {
  Hourglass,           // nothing can be done meanwhile
  ArrowAndHourglass,   // working, the windows still answer
};

// Shows the pointer at once and over every window of the program (through
// ShowBusyPointer) until released; then the standard arrow comes back.
class BusyPointer {
 public:
  explicit BusyPointer(Pointer shown);
  ~BusyPointer();
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;
  // Ends the busy pointer before the guard goes, e.g. before a message box.
  void Release();

 private:
  bool held_ = true;
};

// For WM_SETCURSOR over a window's client area: sets the busy pointer while
// one is held and returns true; false (nothing done) otherwise.
bool ShowBusyPointer();

}  // namespace toolkit
