// The Settings tab's five preferences and the run-at-log-on value.
#include "driver/program_test.h"

namespace e2e {
namespace {

constexpr int kBoxes[] = {ids::SettingsLoadOnStartup, ids::SettingsScanOnStartup, ids::SettingsCheckUpdates, ids::SettingsSaveReports,
                          ids::SettingsShowMainWindow};
constexpr const char* kKeys[] = {"AUTORUN", "AUTOSCAN", "AUTOUPDATE", "AUTOLOG", "AUTOSHOW"};

class PreferencesTest : public ProgramTest {
 protected:
  HWND OpenSettingsTab() {
    if (StartProgram() == nullptr) return nullptr;
    HWND main = VisibleMainWindow();
    if (main != nullptr) SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, 4, 0);
    return main;
  }
  std::vector<bool> Ticks(HWND main) {
    std::vector<bool> ticks;
    for (int id : kBoxes) ticks.push_back(IsChecked(Child(main, id)));
    return ticks;
  }
  std::vector<std::optional<std::string>> Stored() {
    std::vector<std::optional<std::string>> values;
    for (const char* key : kKeys) values.push_back(GetSetting(key));
    return values;
  }
  static std::optional<std::string> S(const char* text) { return std::string(text); }
};

TEST_F(PreferencesTest, FirstStartTicksOnlyShowMainWindowAndRemovesAStaleRunValue) {
  SetUserString("Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Tallowick Parawarden",
                "C:\\old\\Parawarden.exe");
  ASSERT_TRUE(GetRunValue().has_value());

  HWND main = OpenSettingsTab();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Ticks(main), (std::vector<bool>{false, false, false, false, true}));
  EXPECT_EQ(WindowText(Child(main, ids::SettingsCheckUpdates)), "Check for updates Automatically");
  EXPECT_FALSE(GetRunValue().has_value());
  EXPECT_EQ(Stored(), std::vector<std::optional<std::string>>(5));
}

TEST_F(PreferencesTest, SaveWritesTheFiveKeysAndTheRunValueFollowsLoadOnStartup) {
  HWND main = OpenSettingsTab();
  ASSERT_NE(main, nullptr);
  Click(Child(main, ids::SettingsLoadOnStartup));
  Click(Child(main, ids::SettingsSaveReports));
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(Child(main, ids::SettingsSaveReports)); }));
  Click(Child(main, ids::SettingsSaveButton));
  // The Run value follows once every key is written.
  ASSERT_TRUE(WaitUntil([&] { return GetRunValue().has_value(); }));
  EXPECT_EQ(Stored(), (std::vector<std::optional<std::string>>{S("1"), S("0"), S("0"), S("1"), S("1")}));
  EXPECT_EQ(GetRunValue(), S(("\"" + AppFile("Parawarden.exe") + "\"").c_str()));

  Click(Child(main, ids::SettingsLoadOnStartup));
  Click(Child(main, ids::SettingsSaveButton));
  EXPECT_TRUE(WaitUntil([&] { return !GetRunValue().has_value(); }));
  EXPECT_EQ(GetSetting("AUTORUN"), S("0"));
  EXPECT_EQ(Ticks(main), (std::vector<bool>{false, false, false, true, true}));
}

TEST_F(PreferencesTest, AnUnsavedTickGivesWayToTheStoredValueWhenTheWindowComesBack) {
  SetSetting("AUTOLOG", "1");
  HWND main = OpenSettingsTab();
  ASSERT_NE(main, nullptr);
  Click(Child(main, ids::SettingsScanOnStartup));
  Click(Child(main, ids::SettingsSaveReports));
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(Child(main, ids::SettingsScanOnStartup)); }));
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
  app_.TrayEvent(WM_LBUTTONDBLCLK);
  ASSERT_NE(app_.WaitForVisible(main), nullptr);
  EXPECT_TRUE(WaitUntil([&] { return !IsChecked(Child(main, ids::SettingsScanOnStartup)); }));
  EXPECT_TRUE(IsChecked(Child(main, ids::SettingsSaveReports)));
  EXPECT_FALSE(GetSetting("AUTOSCAN").has_value());
}

TEST_F(PreferencesTest, StoredValuesThatAreNotNumbersReadAsOff) {
  SetSetting("AUTORUN", "yes");
  SetSetting("AUTOLOG", "1.5");
  SetSetting("AUTOSHOW", "");
  SetSetting("TOTALOBJECTSREMOVED", "lots");
  ASSERT_NE(StartProgram(), nullptr);
  HWND main = app_.MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(IsWindowVisible(main));
  EXPECT_EQ(Ticks(main), (std::vector<bool>{false, false, false, false, false}));
  EXPECT_FALSE(GetRunValue().has_value());
  app_.TrayEvent(WM_LBUTTONDBLCLK);
  ASSERT_NE(app_.WaitForVisible(main), nullptr);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(Child(main, ids::StatusRemovedValue)) == "0"; }));
}

}  // namespace
}  // namespace e2e
