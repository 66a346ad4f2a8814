#include "windows/settings_page.h"

#include <cstdio>

#include "core/scan_schedule.h"
#include "core/setting_values.h"
#include "features/scheduled_scan.h"
#include "features/settings.h"
#include "platform/text.h"
#include "windows/control_ids.h"
#include "windows/tab_layout.h"

namespace windows {
namespace {

struct PreferenceBox {
  const char* key;
  int checkBox;
  const char* defaultValue;
};

// In the order they are read and written.
constexpr PreferenceBox kPreferences[] = {
    {core::kAutoRun, ids::SettingsLoadOnStartup, "0"}, {core::kAutoScan, ids::SettingsScanOnStartup, "0"},
    {core::kAutoUpdate, ids::SettingsCheckUpdates, "0"}, {core::kAutoLog, ids::SettingsSaveReports, "0"},
    {core::kAutoShow, ids::SettingsShowMainWindow, "1"}, {core::kGuard, ids::SettingsGuard, "1"},
};

// The schedule's controls and the value each shows; one the administrator
// set cannot be changed.
struct ScheduleControl {
  int id;
  const char* key;
};
constexpr ScheduleControl kScheduleControls[] = {
    {ids::SettingsScheduleFrequency, core::kScheduleFrequency}, {ids::SettingsScheduleDayLabel, core::kScheduleWeekday},
    {ids::SettingsScheduleDay, core::kScheduleWeekday},         {ids::SettingsScheduleTimeLabel, core::kScheduleMinute},
    {ids::SettingsScheduleTime, core::kScheduleMinute},         {ids::SettingsScheduleFull, core::kScheduleFullScan},
    {ids::SettingsScheduleQuick, core::kScheduleFullScan},
};

bool ScheduleControlSetByPolicy(int id) {
  for (const ScheduleControl& control : kScheduleControls) {
    if (control.id == id) return features::SetByPolicy(control.key);
  }
  return false;
}

// Names what the administrator set, or the empty text.
std::string PolicyNote(bool guard, bool schedule) {
  if (!guard && !schedule) return "";
  const std::string what = guard && schedule ? "the guard and the scheduled scan"
                           : guard           ? "the guard"
                                             : "the scheduled scan";
  return "Set by your administrator, and not to be changed here: " + what + ".";
}

// In the order of core::ScanFrequency.
constexpr const char* kFrequencies[] = {"Never", "Daily", "Weekly"};
constexpr const char* kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
// The time list offers every half hour.
constexpr int kMinutesPerTimeChoice = 30;

void AddChoice(HWND list, const char* text) {
  SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::Widen(text).c_str()));
}

int Chosen(HWND list) {
  const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? 0 : static_cast<int>(index);
}

void Choose(HWND list, int index) { SendMessageW(list, CB_SETCURSEL, index, 0); }

std::string TimeText(int minuteOfDay) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", minuteOfDay / 60, minuteOfDay % 60);
  return text;
}

int ListedMinute(HWND list, int index) { return static_cast<int>(SendMessageW(list, CB_GETITEMDATA, index, 0)); }

// A time stored between two half hours (by hand, or by an administrator's
// script) is shown as it stands and kept by Save, not moved to the half hour
// before it: it joins the list in its place.
void ChooseTime(HWND list, int minuteOfDay) {
  const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
  int index = 0;
  while (index < count && ListedMinute(list, index) < minuteOfDay) ++index;
  if (index == count || ListedMinute(list, index) != minuteOfDay) {
    const std::wstring text = platform::Widen(TimeText(minuteOfDay));
    SendMessageW(list, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(list, CB_SETITEMDATA, index, minuteOfDay);
  }
  Choose(list, index);
}

}  // namespace

void SettingsPage::FillChoices() {
  for (const char* frequency : kFrequencies) AddChoice(Control(ids::SettingsScheduleFrequency), frequency);
  for (const char* weekday : kWeekdays) AddChoice(Control(ids::SettingsScheduleDay), weekday);
  HWND times = Control(ids::SettingsScheduleTime);
  for (int minute = 0; minute < 24 * 60; minute += kMinutesPerTimeChoice) {
    const std::wstring text = platform::Widen(TimeText(minute));
    const LRESULT index = SendMessageW(times, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(times, CB_SETITEMDATA, index, minute);
  }
}

void SettingsPage::LoadPreferences() {
  bool guardByPolicy = false;
  for (const PreferenceBox& pref : kPreferences) {
    SetChecked(pref.checkBox, core::CheckStateFromText(features::GetAppSetting(pref.key, pref.defaultValue)) == 1);
    const bool byPolicy = features::SetByPolicy(pref.key);
    EnableWindow(Control(pref.checkBox), !byPolicy);
    if (byPolicy && pref.checkBox == ids::SettingsGuard) guardByPolicy = true;
  }
  features::SetStartAtLogOn(IsChecked(ids::SettingsLoadOnStartup));

  const core::ScanSchedule schedule = features::StoredScanSchedule();
  Choose(Control(ids::SettingsScheduleFrequency), static_cast<int>(schedule.frequency));
  Choose(Control(ids::SettingsScheduleDay), schedule.weekday);
  ChooseTime(Control(ids::SettingsScheduleTime), schedule.minuteOfDay);
  SetChecked(ids::SettingsScheduleFull, schedule.fullScan);
  SetChecked(ids::SettingsScheduleQuick, !schedule.fullScan);
  EnableScheduleChoices();
  bool scheduleByPolicy = false;
  for (const ScheduleControl& control : kScheduleControls) scheduleByPolicy |= features::SetByPolicy(control.key);
  toolkit::SetText(Control(ids::SettingsPolicyNote), PolicyNote(guardByPolicy, scheduleByPolicy));
}

void SettingsPage::EnableScheduleChoices() {
  // Only what the chosen frequency uses can be changed: a daily scan has no
  // day, a scan that never runs neither day, time nor kind.
  const auto frequency = static_cast<core::ScanFrequency>(Chosen(Control(ids::SettingsScheduleFrequency)));
  const bool runs = frequency != core::ScanFrequency::Never;
  const bool weekly = frequency == core::ScanFrequency::Weekly;
  EnableWindow(Control(ids::SettingsScheduleFrequency), !ScheduleControlSetByPolicy(ids::SettingsScheduleFrequency));
  for (int id : {ids::SettingsScheduleDayLabel, ids::SettingsScheduleDay}) {
    EnableWindow(Control(id), weekly && !ScheduleControlSetByPolicy(id));
  }
  for (int id : {ids::SettingsScheduleTimeLabel, ids::SettingsScheduleTime, ids::SettingsScheduleFull,
                 ids::SettingsScheduleQuick}) {
    EnableWindow(Control(id), runs && !ScheduleControlSetByPolicy(id));
  }
}

bool SettingsPage::ShowMainWindowTicked() const { return IsChecked(ids::SettingsShowMainWindow); }

std::vector<toolkit::ControlRow> SettingsPage::Rows(std::function<void()> saved) {
  saved_ = std::move(saved);
  using K = toolkit::ControlKind;
  constexpr toolkit::TwipsRect kPrefsFrame = {240, 480, 3855, 3015};
  constexpr toolkit::TwipsRect kScheduleFrame = {4320, 480, 2535, 3015};
  const auto box = [&](int id, int top, const char* caption) {
    return toolkit::ControlRow{id, K::CheckBox, InFrame(kPrefsFrame, {240, top, 3375, 255}), caption, tabs::Settings}
        .WithHelp();
  };
  const auto scheduled = [&](int id, K kind, toolkit::TwipsRect rect, const char* caption) {
    return toolkit::ControlRow{id, kind, InFrame(kScheduleFrame, rect), caption, tabs::Settings}.WithHelp();
  };
  return {
      {ids::SettingsFrame, K::Frame, OnTab(kPrefsFrame), "Select your preferences", tabs::Settings},
      box(ids::SettingsLoadOnStartup, 360, "Load on Startup"),
      box(ids::SettingsScanOnStartup, 780, "Auto Scan on Startup"),
      box(ids::SettingsCheckUpdates, 1200, "Check for updates Automatically"),
      box(ids::SettingsSaveReports, 1620, "Save Scan Results to File"),
      box(ids::SettingsShowMainWindow, 2040, "Show Main Window on Startup"),
      box(ids::SettingsGuard, 2460, "Guard the computer while running"),
      {ids::SettingsScheduleFrame, K::Frame, OnTab(kScheduleFrame), "Scheduled Scan", tabs::Settings},
      scheduled(ids::SettingsScheduleFrequency, K::DropDownList, {240, 360, 2055, 1200}, "").Runs([this] {
        EnableScheduleChoices();
      }),
      scheduled(ids::SettingsScheduleDayLabel, K::Label, {240, 840, 615, 255}, "Day:"),
      scheduled(ids::SettingsScheduleDay, K::DropDownList, {840, 780, 1455, 2160}, ""),
      scheduled(ids::SettingsScheduleTimeLabel, K::Label, {240, 1320, 615, 255}, "Time:"),
      scheduled(ids::SettingsScheduleTime, K::DropDownList, {840, 1260, 1455, 2400}, ""),
      scheduled(ids::SettingsScheduleFull, K::OptionFirst, {240, 1800, 2055, 255}, "Full System Scan"),
      scheduled(ids::SettingsScheduleQuick, K::Option, {240, 2220, 2055, 255}, "Quick Scan"),
      toolkit::ControlRow{ids::SettingsExclusionsButton, K::PushButton, OnTab({4200, 3720, 1215, 375}),
                          "E&xclusions...", tabs::Settings}
          .Runs([this] { exclusions_.Open(hwnd()); })
          .WithHelp(),
      {ids::SettingsPolicyNote, K::Label, OnTab({240, 3660, 3840, 480}), "", tabs::Settings},
      toolkit::ControlRow{ids::SettingsSaveButton, K::PushButton, OnTab({5520, 3720, 1215, 375}), "&Save Settings",
                          tabs::Settings}
          .Runs([this] { OnSaveClicked(); })
          .WithHelp(),
  };
}

void SettingsPage::OnSaveClicked() {
  for (const PreferenceBox& pref : kPreferences) {
    features::SaveAppSetting(pref.key, core::TextFromCheckState(IsChecked(pref.checkBox) ? 1 : 0));
  }
  core::ScanSchedule schedule;
  schedule.frequency = static_cast<core::ScanFrequency>(Chosen(Control(ids::SettingsScheduleFrequency)));
  schedule.weekday = Chosen(Control(ids::SettingsScheduleDay));
  schedule.minuteOfDay = ListedMinute(Control(ids::SettingsScheduleTime), Chosen(Control(ids::SettingsScheduleTime)));
  schedule.fullScan = !IsChecked(ids::SettingsScheduleQuick);
  features::SaveScanSchedule(schedule);
  LoadPreferences();
  if (saved_) saved_();
}

}  // namespace windows
