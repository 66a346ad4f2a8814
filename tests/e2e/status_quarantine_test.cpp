// The Status tab's figures and the Quarantine tab's list, count and
// deletion.
#include "driver/scan_fixture.h"
#include "platform/handles.h"

namespace e2e {
namespace {

class StatusTest : public ScanFixture {
 protected:
  // Moves the keyboard focus away from the tab control and back, as a user
  // clicking a tab while a button has the focus does.
  void RefocusTabs(HWND main, int tab) {
    ClickWithMouse(Child(main, ids::QuarantineDeselectAllButton));
    ClickTab(Child(main, ids::MainTabs), tab);
  }
  std::string Text(HWND main, int id) { return WindowText(Child(main, id)); }
};

TEST_F(StatusTest, AFirstRunShowsTheDefinitionsAndNothingDoneYet) {
  HWND main = StartAndShowMain("Ver1.45 test\r\nfoo.exe|A\r\nbar.exe|B\r\n");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Text(main, ids::StatusDefinitionsValue), "Ver1.45 test");
  EXPECT_EQ(Text(main, ids::StatusProtectionValue), "3 Adware/Spyware types");
  EXPECT_EQ(Text(main, ids::StatusLastScanValue), "Never");
  EXPECT_EQ(Text(main, ids::StatusRemovedValue), "0");
  EXPECT_EQ(Text(main, ids::StatusScansValue), "0");
  EXPECT_EQ(Text(main, ids::StatusQuarantineValue), "0");
}

TEST_F(StatusTest, StoredFiguresAreShownAsStoredAndTheQuarantineCountIsCurrent) {
  SetSetting("SCANCOUNT", "007");
  SetSetting("LASTRUN", "the day before yesterday");
  HWND main = StartAndShowMain(App::DefaultRefDat());
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return Text(main, ids::StatusScansValue) == "007"; }));
  EXPECT_EQ(Text(main, ids::StatusLastScanValue), "the day before yesterday");
  WriteFileBytes(AppFile("Quarantine\\arrived.exe"), "put there by hand");
  RefocusTabs(main, 0);
  EXPECT_TRUE(WaitUntil([&] { return Text(main, ids::StatusQuarantineValue) == "1"; }));
}

TEST_F(StatusTest, RemovalsShowAfterTheScanWindowClosesAndSurviveARestart) {
  SetSetting("TOTALOBJECTSREMOVED", "10");
  for (const char* name : {"a.exe", "b.exe", "c.exe"}) MakeFile(name);
  HWND main = StartAndShowMain("Ver1.0\r\na.exe|A\r\nb.exe|B\r\nc.exe|C\r\n");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Text(main, ids::StatusRemovedValue), "10");
  HWND scan = RunScan(main, true);
  ASSERT_NE(scan, nullptr);
  for (int i = 0; i < 3; ++i) SendMessageW(Child(scan, ids::ScanWindowDetections), LB_SETSEL, TRUE, i);
  Click(Child(scan, ids::ScanWindowQuarantine));
  ASSERT_TRUE(WaitUntil([&] { return ListItems(Child(scan, ids::ScanWindowDetections)).empty(); }));
  Click(Child(scan, ids::ScanWindowExit));
  ASSERT_NE(app_.WaitForVisible(main), nullptr);
  EXPECT_TRUE(WaitUntil([&] { return Text(main, ids::StatusRemovedValue) == "13"; }));
  EXPECT_EQ(GetSetting("TOTALOBJECTSREMOVED"), std::optional<std::string>("13"));
  EXPECT_TRUE(WaitUntil([&] { return Text(main, ids::StatusQuarantineValue) == "3"; }));

  // Exit from the tray, then start again.
  ASSERT_TRUE(app_.ChooseTrayMenuItem(3));
  HWND box = app_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  AnswerMessageBox(box, IDOK);
  ASSERT_TRUE(app_.WaitForExit());
  ASSERT_TRUE(app_.Start(appFolder()));
  ASSERT_NE(app_.WaitForSplash(), nullptr);
  main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Text(main, ids::StatusRemovedValue), "13");
  EXPECT_EQ(Text(main, ids::StatusScansValue), "1");
}

TEST_F(StatusTest, DeleteSelectedRemovesTheSelectedFilesAndTheCountFollowsOnFocus) {
  CreateDirectoryW(platform::Widen(AppFile("Quarantine")).c_str(), nullptr);
  for (const char* name : {"one.exe", "three.exe", "two.exe", "four.exe"}) {
    WriteFileBytes(AppFile("Quarantine\\" + std::string(name)), name);
  }
  HWND main = StartAndShowMain(App::DefaultRefDat());
  ASSERT_NE(main, nullptr);
  HWND tabs = Child(main, ids::MainTabs);
  ClickTab(tabs, 2);
  ASSERT_TRUE(WaitUntil([&] { return SelectedTab(tabs) == 2; }));
  HWND list = Child(main, ids::QuarantineList);
  EXPECT_EQ(ListItems(list), (std::vector<std::string>{"four.exe", "one.exe", "three.exe", "two.exe"}));
  EXPECT_TRUE(WaitUntil([&] { return Text(main, ids::QuarantineCountLabel) == "4 Adware in Quarantine"; }));

  // A file that cannot be deleted is passed over.
  platform::UniqueHandle held(CreateFileW(platform::Widen(AppFile("Quarantine\\four.exe")).c_str(), GENERIC_READ, 0,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
  for (int index : {0, 1, 3}) SendMessageW(list, LB_SETSEL, TRUE, index);
  Click(Child(main, ids::QuarantineDeleteButton));
  EXPECT_TRUE(WaitUntil([&] { return ListItems(list) == std::vector<std::string>{"four.exe", "three.exe"}; }));
  // The file left in place stays marked through the list's re-reading.
  EXPECT_GT(SendMessageW(list, LB_GETSEL, 0, 0), 0);
  EXPECT_EQ(SendMessageW(list, LB_GETSEL, 1, 0), 0);
  EXPECT_EQ(app_.WaitForMessageBox(500), nullptr);
  EXPECT_FALSE(PathExists(AppFile("Quarantine\\one.exe")));
  EXPECT_FALSE(PathExists(AppFile("Quarantine\\two.exe")));
  EXPECT_EQ(Text(main, ids::QuarantineCountLabel), "4 Adware in Quarantine");
  RefocusTabs(main, 2);
  EXPECT_TRUE(WaitUntil([&] { return Text(main, ids::QuarantineCountLabel) == "2 Adware in Quarantine"; }));

  held.reset();
  EXPECT_EQ(ToolTipText(list), "Click CTRL while selecting files, if you wish to select individual files.");
  Click(Child(main, ids::QuarantineSelectAllButton));
  Click(Child(main, ids::QuarantineDeleteButton));
  EXPECT_TRUE(WaitUntil([&] { return ListItems(list).empty(); }));
  RefocusTabs(main, 2);
  EXPECT_TRUE(WaitUntil([&] { return Text(main, ids::QuarantineCountLabel) == "0 Adware in Quarantine"; }));
}

}  // namespace
}  // namespace e2e
