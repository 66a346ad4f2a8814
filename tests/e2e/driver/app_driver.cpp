#include "driver/app_driver.h"

#include <commctrl.h>

#include <cstdlib>

#include "platform/disk_lister.h"
#include "platform/text.h"

namespace e2e {
namespace {

std::string EnvOr(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

bool CopyInto(const std::string& from, const std::string& to) {
  return CopyFileW(platform::Widen(from).c_str(), platform::Widen(to).c_str(), FALSE) != FALSE;
}

struct EnumState {
  DWORD pid;
  bool visibleOnly;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lParam) {
  auto* state = reinterpret_cast<EnumState*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == state->pid && (!state->visibleOnly || IsWindowVisible(hwnd))) state->found.push_back(hwnd);
  return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (static_cast<int>(GetTickCount() - start) > timeoutMs) return false;
    Sleep(25);
  }
}

TempFolder::TempFolder(const std::string& name) : path_("C:\\pwtest\\" + name) {
  CreateDirectoryW(L"C:\\pwtest", nullptr);
  RemoveTree(path_);
  CreateDirectoryW(platform::Widen(path_).c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void RemoveTree(const std::string& path) {
  // The extended form reaches names ending in dots or blanks as well.
  const std::wstring wide = platform::ExtendedPath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(wide.c_str());
    return;
  }
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    WIN32_FIND_DATAW data;
    platform::UniqueFind find(FindFirstFileW((wide + L"\\*").c_str(), &data));
    if (find.get() != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") RemoveTree(path + "\\" + platform::Narrow(name));
      } while (FindNextFileW(find.get(), &data));
    }
  }
  RemoveDirectoryW(wide.c_str());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  platform::UniqueHandle file(
      CreateFileW(platform::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::optional<std::string> ReadFileText(const std::string& path) {
  platform::UniqueHandle file(CreateFileW(platform::Widen(path).c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string text;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
  return text;
}

bool PathExists(const std::string& path) {
  return GetFileAttributesW(platform::Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(platform::Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WindowText(HWND hwnd) {
  wchar_t buffer[4096] = {};
  DWORD_PTR got = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000, &got);
  return platform::Narrow(std::wstring_view(buffer, got));
}

std::string ClassName(HWND hwnd) {
  wchar_t buffer[256] = {};
  const int length = GetClassNameW(hwnd, buffer, 256);
  return platform::Narrow(std::wstring_view(buffer, length > 0 ? length : 0));
}

HWND Child(HWND parent, int id) { return GetDlgItem(parent, id); }

bool IsChecked(HWND control) { return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    items.push_back(platform::Narrow(text));
  }
  return items;
}

int SelectedTab(HWND tabs) { return static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)); }

std::vector<std::string> TabCaptions(HWND tabs) {
  // TCM_GETITEM carries pointers, so its record and text buffer must live in
  // the program's own address space.
  DWORD pid = 0;
  GetWindowThreadProcessId(tabs, &pid);
  platform::UniqueHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
  std::vector<std::string> captions;
  if (!process) return captions;
  constexpr size_t kTextChars = 256;
  void* remote = VirtualAllocEx(process.get(), nullptr, sizeof(TCITEMW) + kTextChars * sizeof(wchar_t),
                                MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (remote == nullptr) return captions;
  auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(TCITEMW));
  const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = remoteText;
    item.cchTextMax = kTextChars;
    SIZE_T moved = 0;
    WriteProcessMemory(process.get(), remote, &item, sizeof item, &moved);
    SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(remote));
    wchar_t text[kTextChars] = {};
    ReadProcessMemory(process.get(), remoteText, text, sizeof text - sizeof(wchar_t), &moved);
    captions.push_back(platform::Narrow(text));
  }
  VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
  return captions;
}

void PressKey(WORD virtualKey, bool withAlt) {
  std::vector<INPUT> inputs;
  const auto key = [&](WORD vk, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  if (withAlt) key(VK_MENU, false);
  key(virtualKey, false);
  key(virtualKey, true);
  if (withAlt) key(VK_MENU, true);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void ClickTab(HWND tabs, int index) {
  DWORD pid = 0;
  GetWindowThreadProcessId(tabs, &pid);
  platform::UniqueHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
  if (!process) return;
  void* remote = VirtualAllocEx(process.get(), nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (remote == nullptr) return;
  RECT rect = {};
  SIZE_T moved = 0;
  if (SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote))) {
    ReadProcessMemory(process.get(), remote, &rect, sizeof rect, &moved);
  }
  VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
  const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  PostMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(tabs, WM_LBUTTONUP, 0, at);
}

void ClickWithMouse(HWND control) {
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

bool ActivateAfterAnotherApplication(HWND window) {
  HWND other = CreateWindowExW(0, L"STATIC", L"another application", WS_POPUP | WS_VISIBLE, 0, 0, 200, 50, nullptr,
                               nullptr, nullptr, nullptr);
  if (other == nullptr) return false;
  SetForegroundWindow(other);
  const bool away = WaitUntil([&] { return GetForegroundWindow() == other; });
  SetForegroundWindow(window);
  const bool back = away && WaitUntil([&] { return GetForegroundWindow() == window; });
  DestroyWindow(other);
  return back;
}

HWND FocusedControl(HWND window) {
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof gui;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui) ? gui.hwndFocus : nullptr;
}

namespace {

BOOL CALLBACK CollectToolTips(HWND hwnd, LPARAM lParam) {
  auto* state = reinterpret_cast<EnumState*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == state->pid && ClassName(hwnd) == "tooltips_class32") state->found.push_back(hwnd);
  return TRUE;
}

}  // namespace

std::string ToolTipText(HWND control) {
  // TTM_GETTEXT carries pointers: the record and its text buffer live in the
  // program's address space.
  DWORD pid = 0;
  GetWindowThreadProcessId(control, &pid);
  platform::UniqueHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
  if (!process) return std::string();
  constexpr size_t kTextChars = 512;
  void* remote = VirtualAllocEx(process.get(), nullptr, sizeof(TTTOOLINFOW) + kTextChars * sizeof(wchar_t),
                                MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (remote == nullptr) return std::string();
  auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(TTTOOLINFOW));
  EnumState tips{pid, false, {}};
  EnumWindows(CollectToolTips, reinterpret_cast<LPARAM>(&tips));
  std::string found;
  for (HWND tip : tips.found) {
    TTTOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = remoteText;
    const wchar_t nothing = L'\0';
    SIZE_T moved = 0;
    WriteProcessMemory(process.get(), remote, &info, sizeof info, &moved);
    WriteProcessMemory(process.get(), remoteText, &nothing, sizeof nothing, &moved);
    SendMessageW(tip, TTM_GETTEXTW, kTextChars, reinterpret_cast<LPARAM>(remote));
    wchar_t text[kTextChars] = {};
    ReadProcessMemory(process.get(), remoteText, text, sizeof text - sizeof(wchar_t), &moved);
    found = platform::Narrow(text);
    if (!found.empty()) break;
  }
  VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
  return found;
}

void SetScreenDpi(std::optional<int> dpi) {
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  platform::UniqueRegKey key(raw);
  if (dpi) {
    const DWORD value = static_cast<DWORD>(*dpi);
    RegSetValueExW(key.get(), L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  } else {
    RegDeleteValueW(key.get(), L"LogPixels");
  }
}

std::string MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

void AnswerMessageBox(HWND box, int buttonId) { PostMessageW(GetDlgItem(box, buttonId), BM_CLICK, 0, 0); }

void App::Install(const std::string& folder, const std::optional<std::string>& refDat) {
  const std::string exe = EnvOr("PW_APP_EXE", "C:\\pwbuild\\app\\Parawarden.exe");
  const std::string source = FolderOf(exe);
  CopyInto(exe, folder + "\\Parawarden.exe");
  CopyInto(source + "\\index.html", folder + "\\index.html");
  CopyInto(source + "\\eula.txt", folder + "\\eula.txt");
  if (refDat) WriteFileBytes(folder + "\\ref.dat", *refDat);
}

std::string App::DefaultRefDat() {
  return "Ver1.45 test definitions\r\n"
         "foo.exe|Adware\r\n"
         "bar.dll|Spyware - tracking library\r\n"
         "\"baz.exe|Adware, toolbar\"\r\n";
}

App::~App() { Kill(); }

bool App::Start(const std::string& folder, const std::string& arguments) {
  return StartExe(folder + "\\Parawarden.exe", arguments);
}

bool App::StartExe(const std::string& exePath, const std::string& arguments) {
  const std::string folder = FolderOf(exePath);
  std::wstring exe = platform::Widen(exePath);
  std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + platform::Widen(arguments));
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      platform::Widen(folder).c_str(), &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  process_.reset(info.hProcess);
  pid_ = info.dwProcessId;
  return true;
}

bool App::WaitForExit(int timeoutMs) {
  return process_ && WaitForSingleObject(process_.get(), static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

bool App::HasExited() const { return !process_ || WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }

std::optional<DWORD> App::ExitCode() const {
  DWORD code = 0;
  if (!HasExited() || !GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
  return code;
}

void App::Kill() {
  if (process_ && !HasExited()) {
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 10000);
  }
}

std::vector<HWND> App::TopLevelWindows(bool visibleOnly) const {
  EnumState state{pid_, visibleOnly, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
  return state.found;
}

HWND App::FindTopLevel(const std::string& className, const std::optional<std::string>& caption) const {
  for (HWND hwnd : TopLevelWindows(false)) {
    if (ClassName(hwnd) == className && (!caption || WindowText(hwnd) == *caption)) return hwnd;
  }
  return nullptr;
}

HWND App::WaitForTopLevel(const std::string& className, const std::optional<std::string>& caption,
                          int timeoutMs) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopLevel(className, caption)) != nullptr; }, timeoutMs);
  return found;
}

HWND App::WaitForMessageBox(int timeoutMs) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND hwnd : TopLevelWindows(true)) {
          if (ClassName(hwnd) == "#32770") return (found = hwnd) != nullptr;
        }
        return false;
      },
      timeoutMs);
  return found;
}

HWND App::WaitForVisible(HWND window, int timeoutMs) const {
  return WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, timeoutMs) ? window : nullptr;
}

HWND App::MainWindow() const { return FindTopLevel("TallowickParawardenMain", std::nullopt); }
HWND App::SplashWindow() const { return FindTopLevel("TallowickParawardenSplash", std::nullopt); }
HWND App::TrayWindow() const { return FindTopLevel("TallowickParawardenTray", std::nullopt); }

HWND App::WaitForSplash(int timeoutMs) const {
  HWND splash = nullptr;
  WaitUntil([&] { return (splash = SplashWindow()) != nullptr && IsWindowVisible(splash); }, timeoutMs);
  return splash;
}

void App::TrayEvent(UINT mouseMessage) const { PostMessageW(TrayWindow(), WM_MOUSEMOVE, 0, mouseMessage); }

bool App::ChooseTrayMenuItem(int index) const {
  TrayEvent(WM_RBUTTONUP);
  HWND menu = WaitForTopLevel("#32768", std::nullopt, 5000);
  if (menu == nullptr || !WaitForVisible(menu, 5000)) return false;
  // The menu's modal loop reads the keyboard from its thread's queue.
  for (int i = 0; i <= index; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  return WaitUntil([&] { return !IsWindowVisible(menu); }, 5000);
}

}  // namespace e2e
