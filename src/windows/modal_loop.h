// Message boxes, menus and the folder dialog run message loops of their own,
// in which posted requests and timers run as well; WorkGate keeps the scans
// nobody pressed for until the last of them has closed.
#pragma once

#include <functional>

namespace windows {

// Marks a modal loop as open for its lifetime. The user-interface thread
// alone makes them.
class ModalLoop {
 public:
  ModalLoop();
  ~ModalLoop();
  ModalLoop(const ModalLoop&) = delete;
  ModalLoop& operator=(const ModalLoop&) = delete;

  static bool AnyOpen();
  // Runs `then` each time the last open loop closes.
  static void AfterLastClosed(std::function<void()> then);
};

}  // namespace windows
