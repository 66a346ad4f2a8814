#include "windows/message_loop.h"

#include "windows/program.h"

namespace windows {

void DispatchProgramMessage(Program& program, MSG& msg) {
  if (program.mainWindow.PreTranslateMessage(msg)) return;
  if (program.splash && program.splash->PreTranslateMessage(msg)) return;
  if (program.scanWindow && toolkit::RouteDialogKeys(program.scanWindow->hwnd(), msg)) return;
  if (toolkit::RouteDialogKeys(program.guardWindow.hwnd(), msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void AnswerSentMessages() {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

int RunMessageLoop(Program& program) {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchProgramMessage(program, msg);
  return static_cast<int>(msg.wParam);
}

}  // namespace windows
