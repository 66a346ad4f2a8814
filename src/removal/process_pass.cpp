#include "removal/process_pass.h"

#include "platform/disk_lister.h"
#include "platform/message_box.h"
#include "platform/processes.h"
#include "removal/removal_text.h"

void ListProcesses(HWND owner, const reference::ReferenceIndex& index) {
  std::vector<platform::RunningProcess> processes;
  if (!platform::ListRunningProcesses(processes)) return;
  const uint32_t self = platform::CurrentProcessId();
  for (const platform::RunningProcess& process : processes) {
    // Definitions that name this program must not end it halfway through a
    // removal.
    if (process.id == self) continue;
    const size_t naming = removal::EntriesNaming(removal::FileNameOf(process.executablePath), index);
    for (size_t i = 0; i < naming; ++i) {
      platform::ShowMessage(owner, "same", MB_OK);
      platform::KillProcess(process.id, 0);
    }
  }
}
