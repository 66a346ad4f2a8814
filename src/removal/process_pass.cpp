#include "removal/process_pass.h"

#include "platform/disk_lister.h"
#include "platform/message_box.h"
#include "platform/processes.h"
#include "platform/system.h"
#include "reference/reference_index.h"
#include "removal/removal_text.h"

void ListProcesses(HWND owner, const reference::ReferenceIndex& index) {
  std::vector<platform::RunningProcess> processes;
  if (!platform::ListRunningProcesses(processes)) return;
  const uint32_t self = platform::CurrentProcessId();
  const std::string windowsFolder = platform::WindowsDirectory();
  const std::string systemFolder = platform::SystemDirectory();
  for (const platform::RunningProcess& process : processes) {
    // Definitions that name this program must not end it halfway through a
    // removal; definitions that name a part of Windows must not end the
    // whole system.
    if (process.id == self) continue;
    if (removal::IsCoreSystemProcess(process.executablePath, windowsFolder, systemFolder, platform::FoldCase)) continue;
    const size_t naming = removal::EntriesNaming(removal::FileNameOf(process.executablePath), index);
    for (size_t i = 0; i < naming; ++i) {
      platform::ShowMessage(owner, "same", MB_OK);
      platform::KillProcess(process.id, 0);
    }
  }
}
