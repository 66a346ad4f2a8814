// The words of every window, read from the running program: window
// captions, labels, frames, buttons, tabs and the tray menu. Users, the help
// page and the installer's documents quote them, so a rename in the code
// must never change one.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "driver/http_server.h"
#include "driver/scan_fixture.h"

namespace e2e {
namespace {

// A control of a window (0 for the window's own caption) and its text.
struct Words {
  int id;
  std::string text;
};

const std::vector<Words> kSplashWords = {
    {ids::SplashPublisher, "Orvane Software Solutions"},
    {ids::SplashVersion, "Version 2.0"},
    {ids::SplashAction, "Loading Reference file..."},
    {ids::SplashStart, "Start Parawarden"},
    {ids::SplashLicense, "View License"},
    {ids::SplashExit, "Exit"},
};

const std::vector<std::string> kTabWords = {"Status", "Scan", "Quarantine", "Updates", "Settings", "About"};

const std::vector<Words> kMainWords = {
    {0, "Tallowick Parawarden 2.0"},
    {ids::StatusFrame, "Program Status"},
    {ids::StatusDefinitionsCaption, "Reference File:"},
    {ids::StatusProtectionCaption, "Protection against:"},
    {ids::StatusLastScanCaption, "Last System scan:"},
    {ids::StatusRemovedCaption, "Total objects removed:"},
    {ids::StatusScansCaption, "Total scans:"},
    {ids::StatusQuarantineCaption, "Objects in quarantine:"},
    {ids::ScanModeFrame, "Choose Scan Mode"},
    {ids::ScanFullOption, "Full System Scan"},
    {ids::ScanQuickOption, "Quick Scan"},
    {ids::ScanNowButton, "&Scan Now"},
    {ids::QuarantineSelectAllButton, "&Select All"},
    {ids::QuarantineDeselectAllButton, "D&e-Select All"},
    {ids::QuarantineDeleteButton, "&Delete Selected"},
    {ids::UpdatesFrame, "Check for updates"},
    {ids::UpdatesText,
     "Press the button to check if new adware definitions have been released. If new definitions are found the "
     "software will download the definitions automatically and prompt you once completed."},
    {ids::UpdatesCheckButton, "&Check Now"},
    {ids::SettingsFrame, "Select your preferences"},
    {ids::SettingsLoadOnStartup, "Load on Startup"},
    {ids::SettingsScanOnStartup, "Auto Scan on Startup"},
    {ids::SettingsCheckUpdates, "Check for updates Automatically"},
    {ids::SettingsSaveReports, "Save Scan Results to File"},
    {ids::SettingsShowMainWindow, "Show Main Window on Startup"},
    {ids::SettingsExclusionsButton, "E&xclusions..."},
    {ids::SettingsSaveButton, "&Save Settings"},
    {ids::SettingsScheduleFrame, "Scheduled Scan"},
    {ids::SettingsScheduleDayLabel, "Day:"},
    {ids::SettingsScheduleTimeLabel, "Time:"},
    {ids::SettingsScheduleFull, "Full System Scan"},
    {ids::SettingsScheduleQuick, "Quick Scan"},
    {ids::SettingsGuard, "Guard the computer while running"},
    {ids::AboutName, "Tallowick Parawarden 2.0"},
    {ids::AboutHelpButton, "&Help"},
    {ids::AboutCheckButton, "&Check for updates..."},
};

// The program's information starts with these two lines; the third names
// the publisher and the year.
const std::string kProgramInfoStart =
    "For Windows \xC2\xA9 95, Windows \xC2\xA9 98, Windows \xC2\xA9 NT, Windows \xC2\xA9 XP\r\n"
    "Windows \xC2\xA9 2000\r\n";

// After a scan that examined files and found nothing.
const std::vector<Words> kScanWords = {
    {0, "Scan Complete"},
    {ids::ScanWindowFolderFrame, "Currently Scanning"},
    {ids::ScanWindowFoundCaption, "Last Spyware / Adware found"},
    {ids::ScanWindowFoundCount, "0 Spyware / Adware found"},
    {ids::ScanWindowAbort, "&Abort"},
    {ids::ScanWindowExit, "&Exit"},
    {ids::ScanWindowQuarantine, "&Quarantine"},
};

const std::vector<Words> kDownloadWords = {
    {0, "Downloading Update"},
    {ids::DownloadMessage, "Downloading Update"},
};

const std::vector<std::wstring> kTrayMenuWords = {L"Show Parawarden", L"Guard", L"About", L"Exit"};

// "<id>: "<read>", not "<expected>"" for every word that differs.
std::string WrongWords(HWND window, const std::vector<Words>& words) {
  std::string wrong;
  for (const Words& word : words) {
    const std::string read = WindowText(word.id == 0 ? window : Child(window, word.id));
    if (read != word.text) wrong += std::to_string(word.id) + ": \"" + read + "\", not \"" + word.text + "\"\n";
  }
  return wrong;
}

// A window's picture as the screen shows it, one 32-bit value a pixel.
struct Picture {
  LONG width = 0;
  LONG height = 0;
  std::vector<uint32_t> pixels;
  bool operator==(const Picture& other) const {
    return width == other.width && height == other.height && pixels == other.pixels;
  }
};

Picture Snap(HWND window) {
  Picture picture;
  RECT rect = {};
  if (!GetWindowRect(window, &rect)) return picture;
  picture.width = rect.right - rect.left;
  picture.height = rect.bottom - rect.top;
  if (picture.width <= 0 || picture.height <= 0) return picture;
  platform::ScreenDC screen;
  HDC dc = CreateCompatibleDC(screen.get());
  platform::UniqueBitmap copy(CreateCompatibleBitmap(screen.get(), picture.width, picture.height));
  HGDIOBJ previous = SelectObject(dc, copy.get());
  BitBlt(dc, 0, 0, picture.width, picture.height, screen.get(), rect.left, rect.top, SRCCOPY);
  SelectObject(dc, previous);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  picture.pixels.resize(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height));
  GetDIBits(dc, copy.get(), 0, static_cast<UINT>(picture.height), picture.pixels.data(), &info, DIB_RGB_COLORS);
  DeleteDC(dc);
  return picture;
}

BOOL CALLBACK FindOwnMenu(HWND hwnd, LPARAM lParam) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd) || ClassName(hwnd) != "#32768") return TRUE;
  *reinterpret_cast<HWND*>(lParam) = hwnd;
  return FALSE;
}

struct MenuAt {
  POINT at;
  const std::vector<std::wstring>* items;
};

DWORD WINAPI ShowMenu(void* parameter) {
  const MenuAt& request = *static_cast<MenuAt*>(parameter);
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  HMENU menu = CreatePopupMenu();
  UINT command = 1;
  for (const std::wstring& item : *request.items) AppendMenuW(menu, MF_STRING, command++, item.c_str());
  SetForegroundWindow(owner);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, request.at.x, request.at.y, 0, owner, nullptr);
  DestroyMenu(menu);
  DestroyWindow(owner);
  return 0;
}

// Another process cannot read a menu's items under Wine, which keeps them in
// the memory of the process that made the menu. So this process shows a
// menu of the expected items where the program shows its own, and the two
// pictures must be alike.
Picture ExpectedMenu(POINT at, const std::vector<std::wstring>& items) {
  MenuAt request = {at, &items};
  platform::UniqueHandle thread(CreateThread(nullptr, 0, ShowMenu, &request, 0, nullptr));
  HWND menu = nullptr;
  Picture picture;
  Picture previous;
  // Taken once the menu has been painted: two pictures in a row alike.
  WaitUntil([&] {
    EnumWindows(FindOwnMenu, reinterpret_cast<LPARAM>(&menu));
    if (menu == nullptr) return false;
    previous = picture;
    picture = Snap(menu);
    return !picture.pixels.empty() && picture == previous;
  }, 5000);
  if (menu != nullptr) PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  WaitForSingleObject(thread.get(), 5000);
  return picture;
}

class TextsTest : public ScanFixture {};

TEST_F(TextsTest, EveryWindowShowsItsWordsAsWritten) {
  HttpServer server;
  ASSERT_TRUE(server.Running());
  SetUpdateServer(server.BaseAddress());
  server.Answer("/products/qvr/version.txt", {200, "1.5"});
  // A slow download keeps the download window up long enough to be read.
  server.Answer("/products/qvr/ref.dat", {200, "Ver1.5\r\nnew.exe|Adware\r\n", -1, 3000});

  HWND splash = StartProgram("Ver1.0\r\nnamed-nowhere.exe|Adware\r\n");
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(WrongWords(splash, kSplashWords), "") << "splash window";
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(WrongWords(main, kMainWords), "") << "main window";
  EXPECT_EQ(TabCaptions(Child(main, ids::MainTabs)), kTabWords);
  EXPECT_EQ(WindowText(Child(main, ids::AboutProgramInfo)).substr(0, kProgramInfoStart.size()), kProgramInfoStart);

  POINT cursor = {};
  GetCursorPos(&cursor);
  const Picture expectedMenu = ExpectedMenu(cursor, kTrayMenuWords);
  ASSERT_FALSE(expectedMenu.pixels.empty());
  app_.TrayEvent(WM_RBUTTONUP);
  HWND menu = app_.WaitForTopLevel("#32768", std::nullopt, 5000);
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return Snap(menu) == expectedMenu; }, 5000)) << "tray menu";
  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 5000));

  HWND scan = RunScan(main, false);
  ASSERT_NE(scan, nullptr);
  EXPECT_EQ(WrongWords(scan, kScanWords), "") << "scan window";
  const std::string scanned = Label(scan, ids::ScanWindowScannedCount);
  EXPECT_NE(scanned.find(" Objects scanned"), std::string::npos) << scanned;
  Click(Child(scan, ids::ScanWindowExit));
  ASSERT_NE(app_.WaitForVisible(main), nullptr);

  SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, tabs::Updates, 0);
  Click(Child(main, ids::UpdatesCheckButton));
  HWND offer = app_.WaitForMessageBox(20000);
  ASSERT_NE(offer, nullptr);
  AnswerMessageBox(offer, IDYES);
  HWND progress = app_.WaitForTopLevel("TallowickParawardenProgress", std::nullopt, 5000);
  ASSERT_NE(progress, nullptr);
  // The download window's program answers no messages while it downloads:
  // its texts are read from the window manager's copy, once its label is
  // made.
  for (const Words& word : kDownloadWords) {
    std::string read;
    EXPECT_TRUE(WaitUntil([&] {
      wchar_t text[256] = {};
      GetWindowTextW(word.id == 0 ? progress : GetDlgItem(progress, word.id), text, 256);
      return (read = platform::Narrow(text)) == word.text;
    }, 2000)) << word.id << ": \"" << read << "\"";
  }
  HWND done = app_.WaitForMessageBox(20000);
  ASSERT_NE(done, nullptr);
  AnswerMessageBox(done, IDOK);
}

}  // namespace
}  // namespace e2e
