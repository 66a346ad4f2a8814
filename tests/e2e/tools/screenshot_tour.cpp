// Takes the README's pictures from the real program: starts it from the
// folder given, runs a full scan, marks and quarantines what it finds, and
// saves each window as a bitmap into the output folder.
//   screenshot_tour <application folder> <output folder>
// scripts/screenshots runs it on a virtual display and converts the
// bitmaps for docs/.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver/app_driver.h"
#include "platform/text.h"
#include "windows/control_ids.h"

namespace {

using namespace e2e;

// Copies what the screen shows of a window (frame included) into a 24-bit
// bitmap file.
bool SaveWindowPicture(HWND window, const std::string& path) {
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(window);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  Sleep(700);  // let the program finish painting
  RECT rect;
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  GdiFlush();
  const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  BITMAPFILEHEADER header = {};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info.bmiHeader;
  header.bfSize = header.bfOffBits + rowBytes * height;
  bool saved = false;
  if (FILE* file = _wfopen(platform::Widen(path).c_str(), L"wb")) {
    saved = fwrite(&header, sizeof header, 1, file) == 1 && fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, file) == 1 &&
            fwrite(bits, rowBytes * height, 1, file) == 1;
    fclose(file);
  }
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return saved;
}

int Fail(const char* step) {
  std::fprintf(stderr, "screenshot_tour: %s\n", step);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Fail("usage: screenshot_tour <application folder> <output folder>");
  const std::string folder = argv[1];
  const std::string out = argv[2];
  App app;
  if (!app.Start(folder) || app.WaitForSplash() == nullptr) return Fail("the program did not start");
  HWND main = nullptr;
  WaitUntil([&] { return (main = app.MainWindow()) != nullptr && IsWindowVisible(main); });
  if (main == nullptr) return Fail("no main window");
  // The splash window stays open beside the main window; the pictures show
  // the program as it is used.
  Click(Child(app.SplashWindow(), ids::SplashStart));
  WaitUntil([&] { return !IsWindowVisible(app.SplashWindow()); });
  if (!SaveWindowPicture(main, out + "\\main-window.bmp")) return Fail("main window picture");

  HWND tabs = Child(main, ids::MainTabs);
  ClickTab(tabs, 1);
  WaitUntil([&] { return SelectedTab(tabs) == 1; });
  Click(Child(main, ids::ScanFullOption));
  Click(Child(main, ids::ScanNowButton));
  HWND scan = app.WaitForTopLevel("TallowickParawardenScan", std::nullopt);
  if (scan == nullptr || !WaitUntil([&] { return WindowText(scan) == "Scan Complete"; }, 60000)) {
    return Fail("the scan did not complete");
  }
  HWND list = Child(scan, ids::ScanWindowDetections);
  SendMessageW(list, LB_SETSEL, TRUE, -1);
  if (!SaveWindowPicture(scan, out + "\\scan-result.bmp")) return Fail("scan window picture");

  Click(Child(scan, ids::ScanWindowQuarantine));
  // Each program the definitions name gets a notice before it is ended.
  while (HWND box = app.WaitForMessageBox(2000)) {
    AnswerMessageBox(box, IDOK);
    WaitUntil([&] { return !IsWindow(box); });
  }
  Click(Child(scan, ids::ScanWindowExit));
  WaitUntil([&] { return !IsWindow(scan); });
  main = app.MainWindow();
  ShowWindow(main, SW_SHOW);
  // The pointer rests in the middle of the screen, over the list, whose
  // tooltip would cover part of the picture.
  SetCursorPos(0, 0);
  ClickTab(tabs, 2);
  WaitUntil([&] { return SelectedTab(tabs) == 2; });
  if (ListItems(Child(main, ids::QuarantineList)).empty()) return Fail("nothing was quarantined");
  if (!SaveWindowPicture(main, out + "\\quarantine-tab.bmp")) return Fail("quarantine tab picture");
  // Not in the README, but looked at before a release.
  ClickTab(tabs, 4);
  WaitUntil([&] { return SelectedTab(tabs) == 4; });
  if (!SaveWindowPicture(main, out + "\\settings-tab.bmp")) return Fail("settings tab picture");
  Click(Child(main, ids::SettingsExclusionsButton));
  HWND exclusions = app.WaitForTopLevel("TallowickParawardenExclusions", std::nullopt);
  if (exclusions == nullptr || !SaveWindowPicture(exclusions, out + "\\exclusions.bmp")) {
    return Fail("exclusions window picture");
  }
  Click(Child(exclusions, ids::ExclusionsClose));
  // The guard's window as the tray menu opens it, before it found anything.
  if (!app.ChooseTrayMenuItem(1)) return Fail("tray menu");
  HWND guard = app.WaitForTopLevel("TallowickParawardenGuard", std::nullopt);
  if (guard == nullptr || !SaveWindowPicture(guard, out + "\\guard.bmp")) return Fail("guard window picture");
  app.Kill();
  return 0;
}
