// Message boxes, menus and the folder dialog run message loops of their own,
// in which posted requests and timers run as well. A scan that a folder
// handed over or the schedule started there would empty the results the
// open menu or question is about, or be ended with the program by its
// answer: such scans wait until the last of these loops has closed.
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
  // Runs `then` once the last open loop has closed; at once when none is
  // open. A later call replaces a `then` still waiting.
  static void WhenAllClosed(std::function<void()> then);
};

}  // namespace windows
