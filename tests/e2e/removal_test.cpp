// Removal of marked detections: the process pass, the quarantine and
// sibling copies, the counter, and what happens to files that cannot be
// removed.
#include "driver/scan_fixture.h"
#include "platform/handles.h"

namespace e2e {
namespace {

class RemovalTest : public ScanFixture {
 protected:
  void TearDown() override {
    for (App* helper : helpers_) helper->Kill();
    ScanFixture::TearDown();
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\Parawarden.exe");
  }

  // Starts a program that runs until ended, under the given file name.
  void StartNamedHelper(App& helper, const std::string& name) {
    const std::string folder = AppFile("helper-" + name);
    CreateDirectoryW(platform::Widen(folder).c_str(), nullptr);
    const char* sleeper = std::getenv("PW_SLEEPER_EXE");
    ASSERT_NE(sleeper, nullptr);
    ASSERT_TRUE(CopyFileW(platform::Widen(sleeper).c_str(), platform::Widen(folder + "\\" + name).c_str(), FALSE));
    ASSERT_TRUE(helper.StartExe(folder + "\\" + name));
    helpers_.push_back(&helper);
  }

  HWND ScanAndMark(const std::string& refDat, const std::vector<int>& marked, bool full = true) {
    HWND main = StartAndShowMain(refDat);
    if (main == nullptr) return nullptr;
    HWND scan = RunScan(main, full);
    if (scan == nullptr) return nullptr;
    for (int index : marked) SendMessageW(Child(scan, ids::ScanWindowDetections), LB_SETSEL, TRUE, index);
    return scan;
  }

  // Presses Quarantine and answers every "same" notice; returns how many
  // there were.
  int Quarantine(HWND scan) {
    Click(Child(scan, ids::ScanWindowQuarantine));
    int notices = 0;
    for (;;) {
      HWND box = app_.WaitForMessageBox(1000);
      if (box == nullptr || MessageBoxText(box) != "same") break;
      ++notices;
      AnswerMessageBox(box, IDOK);
      WaitUntil([&] { return !IsWindow(box); });
    }
    return notices;
  }

  // The removed-objects total as the scan window's Exit stores it.
  std::string StoredTotalAfterExit(HWND scan) {
    Click(Child(scan, ids::ScanWindowExit));
    WaitUntil([&] { return !IsWindow(scan); });
    return GetSetting("TOTALOBJECTSREMOVED").value_or("(none)");
  }

  std::vector<App*> helpers_;
};

TEST_F(RemovalTest, NamedProgramsNotShownAreEndedAfterOneNoticePerEntry) {
  App named, twice, header, disguised;
  StartNamedHelper(named, "foo.exe");
  StartNamedHelper(twice, "twice.exe");
  StartNamedHelper(header, "hdr.exe");
  StartNamedHelper(disguised, "svchost.exe");
  // Wine's own explorer.exe and rpcss.exe run from the Windows folder: as
  // core parts of the system they are never ended, while a svchost.exe
  // running from elsewhere is. The quick scan does not show the helpers'
  // files, so none of them is one the user chose to keep.
  HWND scan = ScanAndMark(
      "hdr.exe|the header record is never compared\r\n"
      "no separator here\r\n"
      "foo.exe|Adware\r\n"
      "twice.exe|First\r\n"
      "twice.exe|Second\r\n"
      "explorer.exe|Core\r\n"
      "rpcss.exe|Core\r\n"
      "svchost.exe|Disguised\r\n"
      "Parawarden.exe|Definitions that name this program\r\n",
      {}, false);
  ASSERT_NE(scan, nullptr);
  EXPECT_EQ(Quarantine(scan), 4);
  EXPECT_TRUE(named.WaitForExit());
  EXPECT_TRUE(twice.WaitForExit());
  EXPECT_TRUE(disguised.WaitForExit());
  EXPECT_FALSE(header.HasExited());
  EXPECT_FALSE(app_.HasExited());
}

// The removal holds the lines it works through by their places: a scan
// handed over while its notice is open waits for its end, rather than
// refilling the list under it.
TEST_F(RemovalTest, AScanHandedOverDuringARemovalWaitsForItsEnd) {
  App named, sender;
  StartNamedHelper(named, "foo.exe");
  helpers_.push_back(&sender);
  MakeFile("Picked\\bar.dll");
  HWND scan = ScanAndMark("Ver1.0\r\nfoo.exe|Adware\r\nbar.dll|Spyware\r\n", {}, false);
  ASSERT_NE(scan, nullptr);
  ASSERT_TRUE(Lines(scan).empty());
  Click(Child(scan, ids::ScanWindowQuarantine));
  HWND notice = app_.WaitForMessageBox();
  ASSERT_NE(notice, nullptr);
  ASSERT_EQ(MessageBoxText(notice), "same");

  ASSERT_TRUE(sender.Start(appFolder(), "/scan \"" + tree_ + "\\Picked\""));
  EXPECT_TRUE(sender.WaitForExit());
  EXPECT_FALSE(WaitUntil([&] { return !Lines(scan).empty(); }, 1500)) << "a scan ran inside the removal";
  AnswerMessageBox(notice, IDOK);
  EXPECT_TRUE(WaitUntil([&] {
    return Lines(scan) == std::vector<std::string>{tree_ + "\\Picked\\bar.dll > Spyware"};
  }));
  EXPECT_TRUE(named.WaitForExit());
}

TEST_F(RemovalTest, AMarkedDetectionIsQuarantinedCopiedBesideItselfDeletedAndCounted) {
  SetSetting("TOTALOBJECTSREMOVED", "5");
  const std::string file = MakeFile("Temp\\foo.exe", FILE_ATTRIBUTE_NORMAL, "the detected program");
  WriteFileBytes(AppFile("Quarantine\\foo.exe"), "an older copy");
  HWND scan = ScanAndMark("Ver1.0\r\nfoo.exe|Adware\r\n", {0});
  ASSERT_NE(scan, nullptr);
  ASSERT_EQ(Lines(scan), std::vector<std::string>{"e:\\" + testName_ + "\\Temp\\foo.exe > Adware"});
  EXPECT_EQ(Quarantine(scan), 0);
  EXPECT_TRUE(WaitUntil([&] { return Lines(scan).empty(); }));
  EXPECT_EQ(ReadFileText(AppFile("Quarantine\\foo.exe")), std::optional<std::string>("the detected program"));
  EXPECT_EQ(ReadFileText(tree_ + "\\Temp\\foo.QVR"), std::optional<std::string>("the detected program"));
  EXPECT_FALSE(PathExists(file));
  EXPECT_EQ(StoredTotalAfterExit(scan), "6");
}

TEST_F(RemovalTest, OnlyTheMarkedLinesLeaveTheListInTheirOrder) {
  for (const char* name : {"a.exe", "b.exe", "c.exe", "d.exe", "e.exe"}) MakeFile(name);
  HWND scan = ScanAndMark("Ver1.0\r\na.exe|A\r\nb.exe|B\r\nc.exe|C\r\nd.exe|D\r\ne.exe|E\r\n", {1, 3});
  ASSERT_NE(scan, nullptr);
  const std::vector<std::string> before = Lines(scan);
  ASSERT_EQ(before.size(), 5u);
  Quarantine(scan);
  EXPECT_TRUE(WaitUntil([&] { return Lines(scan).size() == 3; }));
  EXPECT_EQ(Lines(scan), (std::vector<std::string>{before[0], before[2], before[4]}));
  EXPECT_TRUE(PathExists(tree_ + "\\a.exe"));
  EXPECT_FALSE(PathExists(tree_ + "\\b.exe"));
  EXPECT_FALSE(PathExists(tree_ + "\\d.exe"));
  EXPECT_EQ(StoredTotalAfterExit(scan), "2");
}

TEST_F(RemovalTest, AFileInUseStaysWithItsLineUncountedAndIsNamed) {
  const std::string busy = MakeFile("busy.exe");
  const std::string gone = MakeFile("gone.exe");
  const std::string plain = MakeFile("plain.exe");
  HWND scan = ScanAndMark("Ver1.0\r\nbusy.exe|Busy\r\ngone.exe|Gone\r\nplain.exe|Plain\r\n", {0, 1, 2});
  ASSERT_NE(scan, nullptr);
  // Held without sharing by another process (tests run as root, so
  // permission bits would prove nothing); the other one is removed
  // meanwhile by other means.
  platform::UniqueHandle held(
      CreateFileW(platform::Widen(busy).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
  ASSERT_TRUE(DeleteFileW(platform::Widen(gone).c_str()));

  Click(Child(scan, ids::ScanWindowQuarantine));
  HWND box = app_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  const std::string text = MessageBoxText(box);
  EXPECT_EQ(text.substr(0, 28), "1 item could not be removed:");
  EXPECT_NE(text.find("e:\\" + testName_ + "\\busy.exe"), std::string::npos) << text;
  EXPECT_EQ(text.find("plain.exe"), std::string::npos) << text;
  AnswerMessageBox(box, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return Lines(scan).size() == 1; }));
  EXPECT_EQ(Lines(scan), std::vector<std::string>{"e:\\" + testName_ + "\\busy.exe > Busy"});
  EXPECT_TRUE(PathExists(busy));
  EXPECT_FALSE(PathExists(plain));
  held.reset();
  EXPECT_EQ(StoredTotalAfterExit(scan), "1");
}

TEST_F(RemovalTest, ANameWithoutExtensionGetsItsCopyBesideIt) {
  MakeFile("Sub.dir\\tracker", FILE_ATTRIBUTE_READONLY, "no extension");
  HWND scan = ScanAndMark("Ver1.0\r\ntracker|Spyware\r\n", {0});
  ASSERT_NE(scan, nullptr);
  Quarantine(scan);
  EXPECT_TRUE(WaitUntil([&] { return Lines(scan).empty(); }));
  EXPECT_EQ(ReadFileText(tree_ + "\\Sub.dir\\tracker.QVR"), std::optional<std::string>("no extension"));
  EXPECT_FALSE(PathExists(tree_ + "\\Sub.QVR"));
  EXPECT_FALSE(PathExists(tree_ + "\\Sub.dir\\tracker"));
}

TEST_F(RemovalTest, TheTotalSurvivesTheMainWindowComingBackBeforeTheScanWindowCloses) {
  SetSetting("TOTALOBJECTSREMOVED", "5");
  MakeFile("foo.exe");
  HWND scan = ScanAndMark("Ver1.0\r\nfoo.exe|Adware\r\n", {0});
  ASSERT_NE(scan, nullptr);
  Quarantine(scan);
  ASSERT_TRUE(WaitUntil([&] { return Lines(scan).empty(); }));
  // Showing the main window reloads the total from the store.
  app_.TrayEvent(WM_LBUTTONDBLCLK);
  HWND main = app_.WaitForVisible(app_.MainWindow());
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(Child(main, ids::StatusRemovedValue)) == "6"; }));
  EXPECT_EQ(StoredTotalAfterExit(scan), "6");
}

TEST_F(RemovalTest, TheTotalStopsAtItsLargestValue) {
  SetSetting("TOTALOBJECTSREMOVED", "2147483647");
  MakeFile("foo.exe");
  HWND scan = ScanAndMark("Ver1.0\r\nfoo.exe|Adware\r\n", {0});
  ASSERT_NE(scan, nullptr);
  Quarantine(scan);
  EXPECT_TRUE(WaitUntil([&] { return Lines(scan).empty(); }));
  EXPECT_EQ(StoredTotalAfterExit(scan), "2147483647");
}

TEST_F(RemovalTest, OnTheNinetyEightFamilyProgramsAreEndedAsWell) {
  SetUserString("Software\\Wine\\AppDefaults\\Parawarden.exe", "Version", "win98");
  App named;
  StartNamedHelper(named, "foo.exe");
  MakeFile("foo.exe");
  // The helper's own file on C: comes first; both are marked, as a program
  // whose file is left unmarked keeps running.
  HWND scan = ScanAndMark("Ver1.0\r\nfoo.exe|Adware\r\n", {0, 1});
  ASSERT_NE(scan, nullptr);
  EXPECT_EQ(Quarantine(scan), 1);
  EXPECT_TRUE(named.WaitForExit());
  EXPECT_TRUE(WaitUntil([&] { return !PathExists(tree_ + "\\foo.exe"); }));
}

}  // namespace
}  // namespace e2e
