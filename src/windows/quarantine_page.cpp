#include "windows/quarantine_page.h"

#include <optional>
#include <set>
#include <vector>

#include "features/quarantine_records.h"
#include "platform/files.h"
#include "platform/text.h"
#include "toolkit/busy_pointer.h"
#include "toolkit/controls.h"
#include "windows/control_ids.h"
#include "windows/tab_layout.h"

namespace windows {
namespace {

// Read again whenever the window or its tabs come back: what the user marked
// stays marked where it is still listed, and the list keeps its place.
void FillList(HWND list, const std::vector<std::string>& names) {
  const std::vector<std::string> markedTexts = toolkit::SelectedItemTexts(list);
  const std::set<std::string> marked(markedTexts.begin(), markedTexts.end());
  const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& name : names) {
    const LRESULT index = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::Widen(name).c_str()));
    if (index >= 0 && marked.count(name) != 0) SendMessageW(list, LB_SETSEL, TRUE, index);
  }
  if (top > 0) SendMessageW(list, LB_SETTOPINDEX, top, 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void SelectEvery(HWND list, bool selected) {
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) SendMessageW(list, LB_SETSEL, selected, i);
}

}  // namespace

void QuarantinePage::RefreshLists() {
  const std::vector<std::string> names = features::ListQuarantined(features::QuarantineFolder());
  FillList(Control(ids::QuarantineList), names);
  count_ = names.size();
}

void QuarantinePage::RefreshCount() {
  RefreshLists();
  toolkit::SetText(Control(ids::QuarantineCountLabel), std::to_string(count_) + " Adware in Quarantine");
}

std::vector<toolkit::ControlRow> QuarantinePage::Rows() {
  using K = toolkit::ControlKind;
  using F = toolkit::FontKind;
  return {
      toolkit::ControlRow{ids::QuarantineList, K::ListMulti, OnTab({240, 600, 6615, 2955}), "", tabs::Quarantine,
                          F::Normal, "Click CTRL while selecting files, if you wish to select individual files."}
          .WithHelp(),
      {ids::QuarantineCountLabel, K::Label, OnTab({240, 3840, 2175, 255}), "", tabs::Quarantine},
      toolkit::ControlRow{ids::QuarantineSelectAllButton, K::PushButton, OnTab({2760, 3720, 1335, 375}), "&Select All",
                          tabs::Quarantine}
          .Runs([this] { OnSelectAllClicked(); })
          .WithHelp(),
      toolkit::ControlRow{ids::QuarantineDeselectAllButton, K::PushButton, OnTab({4200, 3720, 1335, 375}),
                          "D&e-Select All", tabs::Quarantine}
          .Runs([this] { OnDeselectAllClicked(); })
          .WithHelp(),
      toolkit::ControlRow{ids::QuarantineDeleteButton, K::PushButton, OnTab({5640, 3720, 1335, 375}),
                          "&Delete Selected", tabs::Quarantine}
          .Runs([this] { OnDeleteSelectedClicked(); }),
  };
}

void QuarantinePage::OnSelectAllClicked() { SelectEvery(Control(ids::QuarantineList), true); }

void QuarantinePage::OnDeselectAllClicked() { SelectEvery(Control(ids::QuarantineList), false); }

void QuarantinePage::OnDeleteSelectedClicked() {
  toolkit::BusyPointer busy(toolkit::Pointer::Hourglass);
  // The list, re-read afterwards, shows what could not be deleted.
  features::DeleteQuarantined(toolkit::SelectedItemTexts(Control(ids::QuarantineList)));
  RefreshLists();
}

}  // namespace windows
