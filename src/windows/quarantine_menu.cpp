// The Quarantine list's context menu: putting files back where they came
// from or into a chosen folder, showing where they came from, deleting them,
// and opening the Quarantine folder.
#include "windows/quarantine_page.h"

#include <windowsx.h>

#include <optional>
#include <string>
#include <vector>

#include "core/removal_text.h"
#include "features/quarantine_records.h"
#include "features/restore.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/system.h"
#include "platform/text.h"
#include "windows/control_ids.h"
#include "windows/message_box.h"
#include "windows/modal_loop.h"

namespace windows {
namespace {

enum MenuCommand : UINT { kRestore = 1, kRestoreTo, kDetails, kDelete, kOpenFolder };

// A right click on an item outside the selection makes that item the
// selection, as Explorer does.
void SelectItemUnderMouse(HWND list, POINT screen) {
  POINT client = screen;
  ScreenToClient(list, &client);
  const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
  if (HIWORD(hit) != 0) return;
  const int item = LOWORD(hit);
  if (SendMessageW(list, LB_GETSEL, item, 0) > 0) return;
  SendMessageW(list, LB_SETSEL, FALSE, -1);
  SendMessageW(list, LB_SETSEL, TRUE, item);
  SendMessageW(list, LB_SETCARETINDEX, item, FALSE);
}

// The keyboard opens the menu at the focused item, or at the list's corner.
POINT KeyboardMenuPoint(HWND list) {
  RECT rect = {};
  const LRESULT caret = SendMessageW(list, LB_GETCARETINDEX, 0, 0);
  if (caret < 0 || SendMessageW(list, LB_GETITEMRECT, caret, reinterpret_cast<LPARAM>(&rect)) == LB_ERR) {
    SetRectEmpty(&rect);
  }
  POINT point = {rect.left + 8, rect.bottom};
  ClientToScreen(list, &point);
  return point;
}

// Asks the user what a restore needs to know.
class AskingRestore : public features::RestoreQuestions {
 public:
  explicit AskingRestore(HWND owner) : owner_(owner) {}

  std::optional<std::string> ChooseFolder(bool everyFile) override {
    const ModalLoop loop;
    return platform::ChooseFolder(
        owner_, everyFile ? "Choose the folder to restore the selected files to."
                          : "Where the files came from is not known. Choose the folder to restore them to.");
  }

  bool RestoreBeside(const std::string& target, const std::string& name) override {
    return ShowMessage(owner_,
                       "\"" + target + "\" already exists.\r\n\r\nRestore \"" + name + "\" beside it under another name?",
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
  }

  bool RestoreIntoSystemFolder(const std::string& target, const std::string& name) override {
    return ShowMessage(owner_,
                       "Restoring \"" + name + "\" would put it here:\r\n\r\n" + target +
                           "\r\n\r\nThis is inside the Windows folder or the Program Files folder, where a file "
                           "can change what every user of this computer runs. Please restore it there only if you "
                           "know that it belongs there.\r\n\r\nRestore it there?",
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
  }

 private:
  HWND owner_;
};

// Said once a session: the records a journal past its limit holds before its
// newest lines are not read.
void TellOfTooLargeJournal(HWND owner) {
  static bool told = false;
  if (told || !features::JournalIsTooLarge()) return;
  told = true;
  ShowMessage(owner,
              "The quarantine journal \"" + features::JournalPath() +
                  "\" is larger than 64 MB, so only its newest records are read. Files quarantined before them show "
                  "no record of where they came from; new records are read as before.",
              MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

bool QuarantinePage::OnContextMenu(HWND source, LPARAM position) {
  HWND list = Control(ids::QuarantineList);
  if (source != list || list == nullptr) return false;
  POINT point = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  if (position == -1) {
    point = KeyboardMenuPoint(list);
  } else {
    SelectItemUnderMouse(list, point);
  }
  const UINT selected = SendMessageW(list, LB_GETSELCOUNT, 0, 0) > 0 ? MF_ENABLED : MF_GRAYED;
  const platform::UniqueMenu owned(CreatePopupMenu());
  HMENU menu = owned.get();
  AppendMenuW(menu, MF_STRING | selected, kRestore, L"Restore");
  AppendMenuW(menu, MF_STRING | selected, kRestoreTo, L"Restore To...");
  AppendMenuW(menu, MF_STRING | selected, kDetails, L"Details");
  AppendMenuW(menu, MF_STRING | selected, kDelete, L"Delete");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kOpenFolder, L"Open Quarantine Folder");
  UINT command = 0;
  {
    const ModalLoop loop;
    command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, point.x, point.y, 0, hwnd(), nullptr));
  }
  switch (command) {
    case kRestore:
      RestoreSelected(false);
      break;
    case kRestoreTo:
      RestoreSelected(true);
      break;
    case kDetails:
      ShowSelectedDetails();
      break;
    case kDelete:
      OnDeleteSelectedClicked();
      break;
    case kOpenFolder:
      platform::CreateFolder(features::QuarantineFolder());
      platform::ShellOpen(hwnd(), features::QuarantineFolder());
      break;
  }
  return true;
}

void QuarantinePage::RestoreSelected(bool chooseFolder) {
  const WorkGate::Admission restoring(gate_, core::WorkRequest::Restore);
  if (!restoring) return;
  TellOfTooLargeJournal(hwnd());
  AskingRestore questions(hwnd());
  const features::RestoreOutcome outcome = features::RestoreQuarantined(
      toolkit::SelectedItemTexts(Control(ids::QuarantineList)), chooseFolder, questions, restored_);
  RefreshLists();
  ShowFailures(hwnd(), outcome.failed, "restored", "The file is still in quarantine.",
               "The files are still in quarantine.");
  ShowFailures(hwnd(), outcome.tracesNotRestored, "put back",
               "The file is restored, but this entry no longer starts it at log-on; make it again if it should.",
               "The files are restored, but these entries no longer start them at log-on; make them again if they "
               "should.");
}

void QuarantinePage::ShowSelectedDetails() {
  TellOfTooLargeJournal(hwnd());
  const std::string text = features::QuarantineDetails(toolkit::SelectedItemTexts(Control(ids::QuarantineList)));
  if (!text.empty()) ShowMessage(hwnd(), text, MB_OK | MB_ICONINFORMATION, "Details");
}

}  // namespace windows
