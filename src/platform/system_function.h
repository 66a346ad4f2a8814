// Functions of system libraries looked up while the program runs, so that
// it still starts on the Windows versions that lack them.
#pragma once

#include <windows.h>

namespace platform {

// The function `name` of a library the process has loaded; null when the
// library or the function is absent.
template <typename Fn>
Fn SystemFunction(HMODULE library, const char* name) {
  return library != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)))
                            : nullptr;
}

template <typename Fn>
Fn SystemFunction(const wchar_t* library, const char* name) {
  return SystemFunction<Fn>(GetModuleHandleW(library), name);
}

}  // namespace platform
