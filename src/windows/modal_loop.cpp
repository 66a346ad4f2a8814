#include "windows/modal_loop.h"

#include <utility>

namespace windows {
namespace {

int openLoops = 0;
std::function<void()> afterLastLoop;

}  // namespace

ModalLoop::ModalLoop() { ++openLoops; }

ModalLoop::~ModalLoop() {
  if (--openLoops == 0 && afterLastLoop) afterLastLoop();
}

bool ModalLoop::AnyOpen() { return openLoops > 0; }

void ModalLoop::AfterLastClosed(std::function<void()> then) { afterLastLoop = std::move(then); }

}  // namespace windows
