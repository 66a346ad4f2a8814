// The scheduled scan: a moment that passed while the program was not
// running is caught up at the next start, as Scan Now would run it; one
// already run is not; the Settings tab stores the schedule.
#include <cstdio>

#include "driver/program_test.h"

namespace e2e {
namespace {

std::string LocalMinuteText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute);
  return text;
}

class ScheduledScanTest : public ProgramTest {
 protected:
  // A daily quick scan at midnight.
  void ScheduleDailyQuickScan(const std::string& lastRun) {
    SetSetting("SCHEDULE", "1");
    SetSetting("SCHEDULETIME", "0");
    SetSetting("SCHEDULEFULL", "0");
    SetSetting("LASTSCHEDULEDSCAN", lastRun);
  }
  HWND ScanWindow() { return app_.FindTopLevel("TallowickParawardenScan", std::nullopt); }
};

TEST_F(ScheduledScanTest, AMomentMissedWhileNotRunningStartsTheScheduledScanAtTheNextStart) {
  ScheduleDailyQuickScan("2000-01-01 00:00");
  ASSERT_NE(StartProgram(), nullptr);
  HWND scan = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (scan = ScanWindow()) != nullptr; }));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(Child(scan, ids::ScanWindowExit)) != FALSE; }, 120000));
  EXPECT_EQ(GetSetting("SCANCOUNT"), std::optional<std::string>("1"));
  HWND main = app_.MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(IsChecked(Child(main, ids::ScanQuickOption)));
  EXPECT_NE(WindowText(Child(scan, ids::ScanWindowScannedCount)), "0 Objects scanned");
  const std::optional<std::string> lastRun = GetSetting("LASTSCHEDULEDSCAN");
  ASSERT_TRUE(lastRun.has_value());
  EXPECT_EQ(lastRun->substr(0, 10), LocalMinuteText().substr(0, 10));
}

TEST_F(ScheduledScanTest, AMomentAlreadyRunStartsNothing) {
  ScheduleDailyQuickScan(LocalMinuteText());
  ASSERT_NE(StartProgram(), nullptr);
  ASSERT_NE(app_.MainWindow(), nullptr);
  EXPECT_EQ(ScanWindow(), nullptr);
  EXPECT_FALSE(GetSetting("SCANCOUNT").has_value());
}

TEST_F(ScheduledScanTest, SaveSettingsStoresTheScheduleAndCountsFromNow) {
  // Once active: its activation shows the stored settings again.
  HWND main = StartToActiveMainWindow();
  ASSERT_NE(main, nullptr);
  SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, tabs::Settings, 0);
  // Only what the frequency uses can be changed: nothing while it is Never.
  HWND frequency = Child(main, ids::SettingsScheduleFrequency);
  EXPECT_FALSE(IsWindowEnabled(Child(main, ids::SettingsScheduleTime)));
  const auto choose = [&](int index) {
    SendMessageW(frequency, CB_SETCURSEL, index, 0);
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ids::SettingsScheduleFrequency, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(frequency));
  };
  choose(1);
  EXPECT_TRUE(IsWindowEnabled(Child(main, ids::SettingsScheduleTime)));
  EXPECT_FALSE(IsWindowEnabled(Child(main, ids::SettingsScheduleDay)));
  // Weekly, Friday, 18:30, quick.
  choose(2);
  EXPECT_TRUE(IsWindowEnabled(Child(main, ids::SettingsScheduleDay)));
  SendMessageW(Child(main, ids::SettingsScheduleDay), CB_SETCURSEL, 5, 0);
  SendMessageW(Child(main, ids::SettingsScheduleTime), CB_SETCURSEL, 37, 0);
  Click(Child(main, ids::SettingsScheduleQuick));
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(Child(main, ids::SettingsScheduleQuick)); }));
  Click(Child(main, ids::SettingsSaveButton));
  ASSERT_TRUE(WaitUntil([&] { return GetSetting("LASTSCHEDULEDSCAN").has_value(); }));
  EXPECT_EQ(GetSetting("SCHEDULE"), std::optional<std::string>("2"));
  EXPECT_EQ(GetSetting("SCHEDULEDAY"), std::optional<std::string>("5"));
  EXPECT_EQ(GetSetting("SCHEDULETIME"), std::optional<std::string>("1110"));
  EXPECT_EQ(GetSetting("SCHEDULEFULL"), std::optional<std::string>("0"));
  EXPECT_EQ(GetSetting("LASTSCHEDULEDSCAN")->substr(0, 10), LocalMinuteText().substr(0, 10));
  EXPECT_FALSE(IsChecked(Child(main, ids::SettingsScheduleFull)));
}

// A time stored between two half hours is shown and saved as it stands.
TEST_F(ScheduledScanTest, AStoredTimeOffTheHalfHourIsKeptBySave) {
  SetSetting("SCHEDULETIME", "555");
  HWND main = StartToActiveMainWindow();
  ASSERT_NE(main, nullptr);
  SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, tabs::Settings, 0);
  EXPECT_EQ(WindowText(Child(main, ids::SettingsScheduleTime)), "09:15");
  Click(Child(main, ids::SettingsSaveButton));
  ASSERT_TRUE(WaitUntil([&] { return GetSetting("SCHEDULEFULL").has_value(); }));
  EXPECT_EQ(GetSetting("SCHEDULETIME"), std::optional<std::string>("555"));
}

}  // namespace
}  // namespace e2e
