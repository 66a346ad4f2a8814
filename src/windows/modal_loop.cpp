#include "windows/modal_loop.h"

#include <utility>

namespace windows {
namespace {

int openLoops = 0;
std::function<void()> afterLastLoop;

}  // namespace

ModalLoop::ModalLoop() { ++openLoops; }

ModalLoop::~ModalLoop() {
  if (--openLoops > 0 || !afterLastLoop) return;
  const std::function<void()> then = std::move(afterLastLoop);
  afterLastLoop = nullptr;
  then();
}

bool ModalLoop::AnyOpen() { return openLoops > 0; }

void ModalLoop::WhenAllClosed(std::function<void()> then) {
  if (openLoops == 0) {
    then();
    return;
  }
  afterLastLoop = std::move(then);
}

}  // namespace windows
