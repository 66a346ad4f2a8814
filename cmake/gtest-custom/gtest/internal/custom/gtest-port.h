// GoogleTest override for the MinGW "win32" thread model, whose libstdc++ has
// no std::mutex. GoogleTest needs std::mutex only for its Notification
// helper; our tests never start threads through GoogleTest, so a plain flag
// stands in for it and the rest of GoogleTest keeps its Win32 locking.
#pragma once
#if defined(_WIN32) && !defined(_MSC_VER) && !defined(_GLIBCXX_HAS_GTHREADS)
#define GTEST_HAS_NOTIFICATION_ 1
namespace testing {
namespace internal {
class Notification {
 public:
  Notification() : notified_(false) {}
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify() { notified_ = true; }
  void WaitForNotification() {
    while (!notified_) {
    }
  }

 private:
  volatile bool notified_;
};
}  // namespace internal
}  // namespace testing
#endif
