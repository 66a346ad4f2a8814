// GoogleTest override for the MinGW "win32" thread model, whose libstdc++ has
// no std::mutex. Our Win32 tests are single-threaded, so GoogleTest's own
// locking is not needed there.
#pragma once
#if defined(_WIN32) && !defined(_MSC_VER)
#define GTEST_IS_THREADSAFE 0
#endif
