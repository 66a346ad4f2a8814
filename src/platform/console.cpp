#include "platform/console.h"

#include <windows.h>

#include "platform/handles.h"
#include "platform/text.h"

namespace platform {

void WriteToParentConsole(const std::string& text) {
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  // CONOUT$ rather than the standard handles, which a program of the
  // window subsystem does not get from cmd.exe.
  UniqueHandle console(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
  if (console) {
    const std::wstring line = Widen(text) + L"\r\n";
    DWORD written = 0;
    WriteConsoleW(console.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }
  console.reset();
  FreeConsole();
}

}  // namespace platform
