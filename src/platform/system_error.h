// The system's own description of an error code.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

std::string SystemErrorText(DWORD error);

}  // namespace platform
