#include "startup/message_loop.h"

#include "startup/program.h"

void DispatchProgramMessage(Program& program, MSG& msg) {
  if (program.frmmain.PreTranslateMessage(msg)) return;
  if (program.splash && program.splash->PreTranslateMessage(msg)) return;
  if (program.scanWindow && ui::RouteDialogKeys(program.scanWindow->hwnd(), msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

int RunMessageLoop(Program& program) {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchProgramMessage(program, msg);
  return static_cast<int>(msg.wParam);
}
