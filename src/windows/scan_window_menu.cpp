// The context menu of the scan window's results: the user can keep a file
// for good, so that no later scan lists it again.
#include <windows.h>
#include <windowsx.h>

#include <vector>

#include "features/exclusions.h"
#include "platform/handles.h"
#include "windows/detection_removal.h"
#include "windows/modal_loop.h"
#include "windows/program.h"
#include "windows/scan_window.h"

namespace windows {
namespace {

enum MenuCommand : UINT { kIgnoreThisFile = 1, kIgnoreMarkedFiles };

// The line under the mouse, or the focused one for the keyboard; -1 for none.
int LineAt(HWND list, LPARAM position, POINT& menuPoint) {
  if (position != -1) {
    menuPoint = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    POINT client = menuPoint;
    ScreenToClient(list, &client);
    const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
    return HIWORD(hit) != 0 ? -1 : LOWORD(hit);
  }
  const int caret = static_cast<int>(SendMessageW(list, LB_GETCARETINDEX, 0, 0));
  RECT rect = {};
  const bool onLine = caret >= 0 && caret < SendMessageW(list, LB_GETCOUNT, 0, 0) &&
                      SendMessageW(list, LB_GETITEMRECT, caret, reinterpret_cast<LPARAM>(&rect)) != LB_ERR;
  if (!onLine) SetRectEmpty(&rect);
  menuPoint = {rect.left + 8, rect.bottom};
  ClientToScreen(list, &menuPoint);
  return onLine ? caret : -1;
}

}  // namespace

bool ScanWindow::OnContextMenu(HWND source, LPARAM position) {
  HWND list = DetectionList();
  if (source != list || list == nullptr) return false;
  if (!program_.gate.Allows(core::WorkRequest::ResultsMenu)) return true;
  POINT point = {};
  const int line = LineAt(list, position, point);
  const bool anyMarked = SendMessageW(list, LB_GETSELCOUNT, 0, 0) > 0;
  const platform::UniqueMenu owned(CreatePopupMenu());
  HMENU menu = owned.get();
  AppendMenuW(menu, MF_STRING | (line >= 0 ? MF_ENABLED : MF_GRAYED), kIgnoreThisFile, L"Always Ignore This File");
  AppendMenuW(menu, MF_STRING | (anyMarked ? MF_ENABLED : MF_GRAYED), kIgnoreMarkedFiles,
              L"Always Ignore Marked Files");
  UINT command = 0;
  {
    const ModalLoop loop;
    command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, point.x, point.y, 0, hwnd(), nullptr));
  }
  std::vector<size_t> chosen;
  if (command == kIgnoreThisFile) chosen.push_back(static_cast<size_t>(line));
  if (command == kIgnoreMarkedFiles) chosen = MarkedLines(list);
  const std::vector<size_t> taken = features::IgnoreDetections(detections_, chosen);
  for (auto position = taken.rbegin(); position != taken.rend(); ++position) {
    SendMessageW(list, LB_DELETESTRING, *position, 0);
  }
  listed_ = detections_.size();
  return true;
}

}  // namespace windows
