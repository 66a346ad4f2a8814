#include "windows/exclusions_window.h"

#include <optional>

#include "core/exclusion_path.h"
#include "features/disk_folders.h"
#include "platform/system.h"
#include "platform/text.h"
#include "windows/control_ids.h"
#include "windows/modal_loop.h"
#include "windows/program_icon.h"

namespace windows {
namespace {

constexpr const wchar_t* kExclusionsClass = L"TallowickParawardenExclusions";
constexpr toolkit::TwipsRect kClientTwips = {0, 0, 7215, 4530};
constexpr const char* kAddedByHand = "Added by hand";

std::wstring LineOf(const features::Exclusion& exclusion) {
  std::string line = exclusion.path + " > " + exclusion.description;
  const std::string problem = core::ReadExclusionPath(exclusion.path).problem;
  if (!problem.empty()) line += "   (not in effect: " + problem + ")";
  return platform::Widen(line);
}

// Refilled with its drawing held: thousands of lines are added in moments.
void FillList(HWND list, const std::vector<features::Exclusion>& exclusions) {
  std::vector<std::wstring> lines;
  lines.reserve(exclusions.size());
  size_t characters = 0;
  for (const features::Exclusion& exclusion : exclusions) {
    lines.push_back(LineOf(exclusion));
    characters += lines.back().size() + 1;
  }
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  SendMessageW(list, LB_INITSTORAGE, lines.size(), characters * sizeof(wchar_t));
  for (const std::wstring& line : lines) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

}  // namespace

std::vector<toolkit::ControlRow> ExclusionsWindow::Rows() {
  using K = toolkit::ControlKind;
  return {
      {ids::ExclusionsCaption, K::Label, {120, 120, 6975, 255},
       "Files and folders that scans and the guard pass over; their programs are never ended:"},
      {ids::ExclusionsList, K::ListMulti, {120, 420, 6975, 1935}, ""},
      {ids::ExclusionsPolicyCaption, K::Label, {120, 2475, 6975, 255}, "Set by your administrator:"},
      {ids::ExclusionsPolicyList, K::ListMulti, {120, 2775, 6975, 1095}, ""},
      toolkit::ControlRow{ids::ExclusionsAddFolder, K::PushButton, {120, 4035, 1455, 375}, "Add &Folder..."}.Runs(
          [this] { OnAddFolderClicked(); }),
      toolkit::ControlRow{ids::ExclusionsAddFile, K::PushButton, {1695, 4035, 1455, 375}, "Add F&ile..."}.Runs(
          [this] { OnAddFileClicked(); }),
      toolkit::ControlRow{ids::ExclusionsRemove, K::PushButton, {4440, 4035, 1215, 375}, "&Remove"}.Runs(
          [this] { OnRemoveClicked(); }),
      toolkit::ControlRow{ids::ExclusionsClose, K::PushButton, {5880, 4035, 1215, 375}, "&Close"}.Runs(
          [this] { DestroyNow(); }),
  };
}

void ExclusionsWindow::Open(HWND owner) {
  if (!Exists()) {
    const int dpi = platform::ScreenDpi();
    RegisterWindowClass(kExclusionsClass, ProgramIcon(false), ProgramIcon(true), GetSysColorBrush(COLOR_BTNFACE));
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    CreateCentred(kExclusionsClass, "Exclusions", style, WS_EX_DLGMODALFRAME,
                  toolkit::OuterSizeForClient(kClientTwips, dpi, style, WS_EX_DLGMODALFRAME), owner);
    if (!Exists()) return;
    fonts_ = std::make_unique<toolkit::FontSet>(dpi);
    controls_.Create(hwnd(), Rows(), dpi, *fonts_);
  }
  Refill();
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  SetFocus(controls_.Get(ids::ExclusionsList));
}

void ExclusionsWindow::Refill() {
  HWND list = controls_.Get(ids::ExclusionsList);
  shown_ = features::ReadExclusions();
  shownPolicy_ = features::PolicyExclusions();
  FillList(list, shown_);
  FillList(controls_.Get(ids::ExclusionsPolicyList), shownPolicy_);
  HWND remove = controls_.Get(ids::ExclusionsRemove);
  // A disabled button would keep the focus, and the keys with it.
  if (shown_.empty() && GetFocus() == remove) SetFocus(list);
  EnableWindow(remove, !shown_.empty());
}

void ExclusionsWindow::OnRemoveClicked() {
  HWND list = controls_.Get(ids::ExclusionsList);
  const LRESULT count = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
  if (count <= 0) return;
  std::vector<int> marked(static_cast<size_t>(count));
  const LRESULT got = SendMessageW(list, LB_GETSELITEMS, marked.size(), reinterpret_cast<LPARAM>(marked.data()));
  std::vector<std::string> paths;
  for (LRESULT i = 0; i < got; ++i) {
    const int line = marked[static_cast<size_t>(i)];
    if (line >= 0 && line < static_cast<int>(shown_.size())) paths.push_back(shown_[static_cast<size_t>(line)].path);
  }
  features::RemoveExclusions(paths);
  Refill();
}

void ExclusionsWindow::OnAddFolderClicked() {
  std::optional<std::string> folder;
  {
    const ModalLoop loop;
    folder = platform::ChooseFolder(hwnd(), "Choose a folder: scans and the guard will pass over every file in it.");
  }
  if (folder) Add(*folder);
}

void ExclusionsWindow::OnAddFileClicked() {
  std::optional<std::string> file;
  {
    const ModalLoop loop;
    file = platform::ChooseFile(hwnd(), "Add File");
  }
  if (file) Add(*file);
}

void ExclusionsWindow::Add(const std::string& path) {
  features::AddExclusion(path, kAddedByHand);
  Refill();
  // The new line, marked and in view, so that a mistake is one Remove away.
  HWND list = controls_.Get(ids::ExclusionsList);
  const core::PathSet added = [&] {
    core::PathSet set(features::FoldFileName);
    set.Add(path);
    return set;
  }();
  for (size_t i = 0; i < shown_.size(); ++i) {
    if (!added.Contains(shown_[i].path)) continue;
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    SendMessageW(list, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
    SendMessageW(list, LB_SETTOPINDEX, i, 0);
    break;
  }
}

LRESULT ExclusionsWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) {
        DestroyNow();
        return 0;
      }
      if (toolkit::PressFocusedButtonOnEnter(hwnd(), wParam, lParam)) return 0;
      controls_.RunClick(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CLOSE:
      DestroyNow();
      return 0;
    case WM_ACTIVATE:
      // The guard window or a scan window may have added an exclusion while
      // this one stood open; an unchanged list keeps the user's marks.
      if (LOWORD(wParam) != WA_INACTIVE &&
          (features::ReadExclusions() != shown_ || features::PolicyExclusions() != shownPolicy_)) {
        Refill();
      }
      toolkit::NoteFocusOnLeaving(hwnd(), wParam, lastFocus_);
      return Default(message, wParam, lParam);
    case WM_SETFOCUS:
      toolkit::FocusControl(hwnd(), lastFocus_, controls_.Get(ids::ExclusionsList));
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace windows
