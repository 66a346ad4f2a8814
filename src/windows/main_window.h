// The main window: banner, six tabs, status bar. Created once, never
// destroyed: a close request hides it and the program goes on in the
// notification area.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "toolkit/controls.h"
#include "toolkit/window.h"
#include "windows/about_page.h"
#include "windows/quarantine_page.h"
#include "windows/scan_page.h"
#include "windows/settings_page.h"
#include "windows/status_page.h"

namespace windows {

struct Program;
class ScanWindow;

class MainWindow : public toolkit::Window {
 public:
  explicit MainWindow(Program& program);

  // Creates the window and runs its load step, the first time only.
  void Load();
  void Show();
  void Hide();
  bool IsVisible() const;
  void SelectTab(int index);
  bool IsAutoShowTicked() const;
  HWND Control(int id) const { return controls_.Get(id); }

  // Runs before dispatch for every message of the thread: F1 help and the
  // keyboard navigation between controls. True when the message was used.
  bool PreTranslateMessage(MSG& msg);

  void LoadPreferences();
  void OnScanNowClicked();
  // One scan run, unchecked: WorkGate decides when. It scans the folders
  // handed over, those handed over while it runs too, or else what the Scan
  // tab chooses; `fullScan` changes that choice first.
  void ScanRun(bool handedOver, std::optional<bool> fullScan);
  // Close rule: store the counter, then hide instead of closing.
  void RequestClose();

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  void CreateContent();
  void OnActivated();
  void KeepFixedSize();
  void SaveAndHide();
  void OnActivateMessage(WPARAM wParam, LPARAM lParam);
  // Coming back from another application gives the focus back to the
  // control that had it; a new activation (first show, shown again, back
  // from another window of the program) gives it to the tab control, whose
  // status refresh then brings the page up to date.
  void RestoreFocus();
  LRESULT OnNotify(const NMHDR& header);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  LRESULT OnCtlColor(UINT message, HDC dc, HWND control);
  HBRUSH PageBackgroundBrush();
  void KeepToFixedSize(MINMAXINFO& info) const;
  void UpdateClock();
  void OnTabChanged();
  void OnTabsFocused();
  // Files the user brought back are not announced by the guard as they arrive.
  void OnRestored(const std::string& path);
  // Brings up the scan window, emptied, in place of this one.
  ScanWindow& ShowScanWindow();
  // The roots of a full or quick scan, as the Scan tab's options choose.
  std::vector<std::string> ChosenScanRoots();

  Program& program_;
  int dpi_ = 96;
  std::unique_ptr<toolkit::FontSet> fonts_;
  toolkit::ControlSet controls_;
  // The tab pages, each over its own controls of controls_.
  StatusPage status_{controls_, *this};
  ScanPage scan_{controls_, *this};
  QuarantinePage quarantine_;
  SettingsPage settings_{controls_, *this};
  AboutPage about_{controls_, *this};
  HWND statusBar_ = nullptr;
  platform::UniqueBitmap banner_;
  platform::UniqueBitmap logo_;
  // The tab control's page as painted by the current theme, so that labels,
  // frames and check boxes on a page blend into it.
  platform::UniqueBitmap pageBitmap_;
  platform::UniqueGdi<HBRUSH> pageBrush_;
  int fixedHeight_ = 0;
  int fixedWidth_ = 0;
  bool enforcingSize_ = false;
  // True while this window is the program's active window, also while the
  // user works in another application: coming back from there is no new
  // activation.
  bool isProgramsActiveWindow_ = false;
  bool returningFromElsewhere_ = false;
  HWND lastFocus_ = nullptr;
};

}  // namespace windows
