// Putting quarantined files back from the Quarantine tab's context menu: in
// place, beside a file that took the original path, into a chosen folder,
// with the journal of records beside the Quarantine folder.
#include <algorithm>

#include "driver/scan_fixture.h"
#include "core/quarantine_journal.h"

namespace e2e {
namespace {

enum MenuItem { kRestore, kRestoreTo, kDetails, kDelete, kOpenFolder };

class RestoreTest : public ScanFixture {
 protected:
  // Shows the Quarantine tab and selects the named files in its list.
  HWND SelectInQuarantine(HWND main, const std::vector<std::string>& names) {
    SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, tabs::Quarantine, 0);
    HWND list = Child(main, ids::QuarantineList);
    WaitUntil([&] { return ListItems(list).size() >= names.size(); });
    const std::vector<std::string> items = ListItems(list);
    for (size_t i = 0; i < items.size(); ++i) {
      const bool wanted = std::find(names.begin(), names.end(), items[i]) != names.end();
      SendMessageW(list, LB_SETSEL, wanted, static_cast<LPARAM>(i));
    }
    return list;
  }

  enum class Opener { RightClick, MenuKey };

  // Opens the list's context menu and chooses an item with the keyboard.
  bool ChooseMenuItem(HWND list, MenuItem item, Opener opener = Opener::RightClick) {
    if (opener == Opener::MenuKey) {
      PressKey(VK_APPS);
    } else {
      PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 3));
      PostMessageW(list, WM_RBUTTONUP, 0, MAKELPARAM(3, 3));
    }
    HWND menu = app_.WaitForTopLevel("#32768", std::nullopt, 5000);
    if (menu == nullptr || !app_.WaitForVisible(menu, 5000)) return false;
    for (int i = 0; i <= item; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return WaitUntil([&] { return !IsWindowVisible(menu); }, 5000);
  }

  // The text of a tree item of the program, read through the program's own
  // memory as a tree view expects.
  std::string TreeItemText(HWND tree, HTREEITEM item) {
    platform::UniqueHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, app_.pid()));
    struct Block {
      TVITEMW item;
      wchar_t text[MAX_PATH];
    };
    auto* remote =
        static_cast<Block*>(VirtualAllocEx(process.get(), nullptr, sizeof(Block), MEM_COMMIT, PAGE_READWRITE));
    if (remote == nullptr) return "";
    Block local = {};
    local.item.mask = TVIF_TEXT;
    local.item.hItem = item;
    local.item.pszText = remote->text;
    local.item.cchTextMax = MAX_PATH;
    WriteProcessMemory(process.get(), remote, &local, sizeof local, nullptr);
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process.get(), remote, &local, sizeof local, nullptr);
    VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    local.text[MAX_PATH - 1] = L'\0';
    return platform::Narrow(local.text);
  }

  // Expands `parent` and returns its first child whose text holds `part`.
  HTREEITEM ExpandToChild(HWND tree, HTREEITEM parent, const std::string& part) {
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    for (auto child = reinterpret_cast<HTREEITEM>(
             SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
         child != nullptr; child = reinterpret_cast<HTREEITEM>(
                               SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
      if (TreeItemText(tree, child).find(part) != std::string::npos) return child;
    }
    return nullptr;
  }

  // Clicks through the program's folder dialog to a folder below the
  // test's tree on E: and presses OK.
  bool ChooseFolderInDialog(const std::string& childOfTree) {
    HWND dialog = app_.WaitForVisible(app_.WaitForTopLevel("#32770", std::nullopt));
    if (dialog == nullptr) return false;
    HWND tree = FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr);
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (const char* part : {"Computer", "E:"}) {
      if (item != nullptr) item = ExpandToChild(tree, item, part);
    }
    if (item != nullptr) item = ExpandToChild(tree, item, testName_);
    if (item != nullptr) item = ExpandToChild(tree, item, childOfTree);
    if (item == nullptr) return false;
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    Click(GetDlgItem(dialog, IDOK));
    return WaitUntil([&] { return !IsWindow(dialog); });
  }

  std::vector<core::JournalRecord> Journal() {
    return core::ParseJournal(ReadFileText(AppFile(core::kJournalFileName)).value_or(""));
  }
};

TEST_F(RestoreTest, RestoreGoesBackInPlaceOrBesideAFileThatTookThePath) {
  MakeFile("One\\foo.exe", FILE_ATTRIBUTE_NORMAL, "first program");
  MakeFile("Two\\bar.dll", FILE_ATTRIBUTE_NORMAL, "second library");
  HWND main = StartAndShowMain(App::DefaultRefDat());
  ASSERT_NE(main, nullptr);
  HWND scan = RunScan(main, true);
  ASSERT_NE(scan, nullptr);
  ASSERT_EQ(Lines(scan).size(), 2u);
  SendMessageW(Child(scan, ids::ScanWindowDetections), LB_SETSEL, TRUE, -1);
  Click(Child(scan, ids::ScanWindowQuarantine));
  ASSERT_TRUE(WaitUntil([&] { return Lines(scan).empty(); }));
  ASSERT_EQ(Journal().size(), 2u);
  EXPECT_EQ(Journal()[1].description, "Spyware - tracking library");
  WriteFileBytes(tree_ + "\\Two\\bar.dll", "a newer file");
  Click(Child(scan, ids::ScanWindowExit));
  main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);

  HWND list = SelectInQuarantine(main, {"foo.exe", "bar.dll"});
  ASSERT_TRUE(ChooseMenuItem(list, kRestore));
  HWND box = app_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_NE(MessageBoxText(box).find("e:\\" + testName_ + "\\Two\\bar.dll\" already exists."), std::string::npos)
      << MessageBoxText(box);
  AnswerMessageBox(box, IDYES);

  EXPECT_TRUE(WaitUntil([&] { return ListItems(list).empty(); }));
  EXPECT_EQ(ReadFileText(tree_ + "\\One\\foo.exe"), std::optional<std::string>("first program"));
  EXPECT_FALSE(PathExists(tree_ + "\\One\\foo.QVR"));
  EXPECT_EQ(ReadFileText(tree_ + "\\Two\\bar (2).dll"), std::optional<std::string>("second library"));
  EXPECT_EQ(ReadFileText(tree_ + "\\Two\\bar.dll"), std::optional<std::string>("a newer file"));
  EXPECT_FALSE(PathExists(AppFile("Quarantine\\foo.exe")));
  EXPECT_FALSE(PathExists(AppFile("Quarantine\\bar.dll")));
  EXPECT_TRUE(Journal().empty());
  // A restore takes nothing off the removed total.
  EXPECT_EQ(WindowText(Child(main, ids::StatusRemovedValue)), "2");
}

TEST_F(RestoreTest, AFileWithoutARecordGoesToAChosenFolderPastADamagedLine) {
  const std::string chosen = tree_ + "\\Chosen";
  CreateDirectoryW(platform::Widen(chosen).c_str(), nullptr);
  App::Install(appFolder(), App::DefaultRefDat());
  CreateDirectoryW(platform::Widen(AppFile("Quarantine")).c_str(), nullptr);
  WriteFileBytes(AppFile("Quarantine\\byhand.exe"), "copied in by hand");
  WriteFileBytes(AppFile("Quarantine\\known.exe"), "known program");
  WriteFileBytes(AppFile(core::kJournalFileName),
                 "byhand.exe\tC:\\damaged line\r\n" +
                     core::FormatJournalLine({"known.exe", tree_ + "\\Old\\known.exe", "today", "Adware"}));
  ASSERT_TRUE(app_.Start(appFolder()));
  ASSERT_NE(app_.WaitForSplash(), nullptr);
  app_.TrayEvent(WM_LBUTTONDBLCLK);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);

  // The list takes the keyboard focus from a click, then the Menu key opens
  // the menu.
  ClickWithMouse(Child(main, ids::QuarantineList));
  HWND list = SelectInQuarantine(main, {"known.exe"});
  ASSERT_TRUE(ChooseMenuItem(list, kDetails, Opener::MenuKey));
  HWND box = app_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), "known.exe\r\nOriginal location: " + tree_ +
                                     "\\Old\\known.exe\r\nQuarantined: today\r\nDetected as: Adware");
  AnswerMessageBox(box, IDOK);
  WaitUntil([&] { return !IsWindow(box); });

  SelectInQuarantine(main, {"byhand.exe"});
  ASSERT_TRUE(ChooseMenuItem(list, kRestore));
  ASSERT_TRUE(ChooseFolderInDialog("Chosen"));
  EXPECT_TRUE(WaitUntil([&] { return ListItems(list) == std::vector<std::string>{"known.exe"}; }));
  EXPECT_EQ(ReadFileText(chosen + "\\byhand.exe"), std::optional<std::string>("copied in by hand"));
  ASSERT_EQ(Journal().size(), 1u);

  // Delete does what Delete Selected does, and the record goes with the file.
  SelectInQuarantine(main, {"known.exe"});
  ASSERT_TRUE(ChooseMenuItem(list, kDelete));
  EXPECT_TRUE(WaitUntil([&] { return ListItems(list).empty(); }));
  EXPECT_TRUE(Journal().empty());
}

// Earlier releases recorded a file found in a drive root with a doubled
// separator; a file whose own extension is the spare copy's is not
// taken for its spare copy once it is back.
TEST_F(RestoreTest, RecordsLeadBackToADriveRootAndAFileNamedLikeASpareCopyStays) {
  const std::string rootFile = "E:\\" + testName_ + "-root.exe";
  extraFiles_.push_back(rootFile);
  CreateDirectoryW(platform::Widen(AppFile("Quarantine")).c_str(), nullptr);
  WriteFileBytes(AppFile("Quarantine\\root.exe"), "from the root");
  WriteFileBytes(AppFile("Quarantine\\spare.qvr"), "named like a spare copy");
  WriteFileBytes(AppFile(core::kJournalFileName),
                 core::FormatJournalLine({"root.exe", "E:\\\\" + testName_ + "-root.exe", "today", "Adware"}) +
                     core::FormatJournalLine({"spare.qvr", tree_ + "\\spare.qvr", "today", "Adware"}));
  HWND main = StartAndShowMain(App::DefaultRefDat());
  ASSERT_NE(main, nullptr);

  HWND list = SelectInQuarantine(main, {"root.exe", "spare.qvr"});
  ASSERT_TRUE(ChooseMenuItem(list, kRestore));
  EXPECT_TRUE(WaitUntil([&] { return ListItems(list).empty(); }));
  EXPECT_EQ(ReadFileText(rootFile), std::optional<std::string>("from the root"));
  EXPECT_EQ(ReadFileText(tree_ + "\\spare.qvr"), std::optional<std::string>("named like a spare copy"));
  EXPECT_TRUE(Journal().empty());
}

}  // namespace
}  // namespace e2e
