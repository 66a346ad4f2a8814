// The definitions update against a real HTTP server on 127.0.0.1: the
// version check and its messages, the download and its safe replacement of
// ref.dat, and the automatic check at start.
#include <functional>

#include "driver/http_server.h"
#include "driver/program_test.h"
#include "driver/test_signer.h"
#include "platform/handles.h"

namespace e2e {
namespace {

const char* const kNotFound = "The update file not found.Unable to verify if new download is present";
const char* const kNewer = "A newer version of Tallowick Parawarden is available!. Do you wish to get the download?";
const char* const kUpToDate = "Your version of Tallowick Parawarden is up to date";
const char* const kNotRetrieved = "The update file could not be retreived.Unable to update new adware definitions";
const char* const kUpdated = "Adware definitions updated successfully. Please restart the application";
const char* const kUnknown =
    "The version of the adware definitions could not be determined. Unable to verify if new download is present";
const char* const kNotVerified = "The new definitions could not be verified and were not installed.";
const char* const kServerDefinitions = "Ver1.50 from the server\r\nnew.exe|Adware\r\nother.exe|Spyware\r\n";

class UpdateTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_TRUE(server_.Running());
    ASSERT_TRUE(signer_.Ready());
    SetUpdateServer(server_.BaseAddress());
  }
  void TearDown() override {
    ProgramTest::TearDown();
    SetDecimalSeparator(std::nullopt);
  }

  // A regional setting with "," as the decimal separator, or the default.
  static void SetDecimalSeparator(const std::optional<std::wstring>& separator) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\International", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
      return;
    }
    if (separator) {
      RegSetValueExW(key, L"sDecimal", 0, REG_SZ, reinterpret_cast<const BYTE*>(separator->c_str()),
                     static_cast<DWORD>((separator->size() + 1) * sizeof(wchar_t)));
      RegSetValueExW(key, L"sThousand", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"."), 2 * sizeof(wchar_t));
    } else {
      RegDeleteValueW(key, L"sDecimal");
      RegDeleteValueW(key, L"sThousand");
    }
    RegCloseKey(key);
  }

  // The definitions are served with the test publisher's signature, made
  // for version 1.50.
  void Serve(const std::string& version, const HttpResponse& definitions = {200, kServerDefinitions}) {
    server_.Answer("/products/qvr/version.txt", {200, version});
    server_.Answer("/products/qvr/ref.dat", definitions);
    server_.Answer("/products/qvr/ref.dat.sig", {200, signer_.SignatureFile(definitions.body, "1.50")});
  }

  // Starts the program and presses "Check Now" on the Updates tab.
  HWND CheckNow(const std::string& refDat) {
    if (StartProgram(refDat) == nullptr) return nullptr;
    HWND main = VisibleMainWindow();
    if (main == nullptr) return nullptr;
    SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, 3, 0);
    Click(Child(main, ids::UpdatesCheckButton));
    return app_.WaitForMessageBox(20000);
  }

  // Answers a message box and returns the next one, if one comes.
  HWND Answer(HWND box, int button, int timeoutMs = 20000) {
    AnswerMessageBox(box, button);
    WaitUntil([&] { return !IsWindow(box); });
    return app_.WaitForMessageBox(timeoutMs);
  }

  HttpServer server_;
  TestSigner signer_{"test-publisher", true};
};

struct VersionCase {
  std::string name;
  const char* localHeader;
  const char* serverVersion;
  bool newer;
  bool german;
  friend void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.name; }
};

class VersionCheckTest : public UpdateTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionCheckTest, ComparesTheDefinitionsVersionWithTheServers) {
  const VersionCase& c = GetParam();
  if (c.german) SetDecimalSeparator(L",");
  Serve(c.serverVersion);
  const std::string refDat = std::string(c.localHeader) + "\r\nfoo.exe|Adware\r\n";
  HWND box = CheckNow(refDat);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), "Tallowick Parawarden");
  EXPECT_EQ(MessageBoxText(box), c.newer ? kNewer : kUpToDate);
  EXPECT_EQ(GetDlgItem(box, IDYES) != nullptr, c.newer);
  EXPECT_FALSE(PathExists(AppFile("upd.txt")));
  if (c.newer) {
    // No leaves the definitions as they were.
    EXPECT_EQ(Answer(box, IDNO, 1000), nullptr);
    EXPECT_EQ(server_.Requests("/products/qvr/ref.dat"), 0);
  } else {
    AnswerMessageBox(box, IDOK);
  }
  EXPECT_EQ(ReadFileText(AppFile("ref.dat")), std::optional<std::string>(refDat));
}

std::vector<VersionCase> VersionCases() {
  const VersionCase english[] = {
      {"Older", "Ver1.4", "1.5", true, false},
      {"Equal", "Ver1.5", "1.5", false, false},
      {"Newer", "Ver1.6", "1.5", false, false},
      {"FirstFieldOnly", "Ver1.9", "2.0,more text\r\n", true, false},
      {"FirstFieldEqual", "Ver2.0", "2.0,more text\r\n", false, false},
      {"EightCharactersOnly", "Ver1.2345678", "1.235", true, false},
      {"EightCharactersOnlyEqual", "Ver1.2345678", "1.234", false, false},
      {"HeaderWithText", "Ver1.45 Orvane definitions", "1.5", true, false},
  };
  std::vector<VersionCase> cases(std::begin(english), std::end(english));
  for (const VersionCase& c : english) {
    VersionCase german = c;
    german.german = true;
    german.name += "German";
    cases.push_back(german);
  }
  cases.push_back({"ByteOrderMark", "Ver1.4", "\xEF\xBB\xBF" "1.5\r\n", true, false});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Update, VersionCheckTest, ::testing::ValuesIn(VersionCases()),
                         [](const auto& info) { return info.param.name; });

TEST_F(UpdateTest, AServerThatCannotBeReachedOrLacksTheFileIsReportedOnlyToAUser) {
  SetUpdateServer(HttpServer::UnreachableAddress());
  HWND box = CheckNow(App::DefaultRefDat());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), kNotFound);
  EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
  AnswerMessageBox(box, IDOK);
  app_.Kill();

  SetUpdateServer(server_.BaseAddress());  // answers 404
  box = CheckNow(App::DefaultRefDat());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), kNotFound);
  AnswerMessageBox(box, IDOK);
  app_.Kill();
  EXPECT_FALSE(PathExists(AppFile("upd.txt")));

  // The automatic check at start stays silent.
  SetSetting("AUTOUPDATE", "1");
  ASSERT_NE(StartProgram(), nullptr);
  EXPECT_EQ(app_.WaitForMessageBox(500), nullptr);
  EXPECT_GE(server_.Requests("/products/qvr/version.txt"), 2);
}

TEST_F(UpdateTest, VersionsThatCannotBeReadNeverStopTheProgram) {
  struct Case {
    const char* refDat;
    const char* serverVersion;
  };
  const Case cases[] = {
      {"Ver1.0\r\nfoo.exe|A\r\n", "not a number"},
      {"Ver1.0\r\nfoo.exe|A\r\n", ""},
      {"Version one\r\nfoo.exe|A\r\n", "1.5"},
      {"Ver1\r\n", "1.5"},
  };
  for (const Case& c : cases) {
    Serve(c.serverVersion);
    HWND box = CheckNow(c.refDat);
    ASSERT_NE(box, nullptr) << c.refDat << " / " << c.serverVersion;
    const std::string text = MessageBoxText(box);
    if (std::string(c.refDat) == "Ver1\r\n") {
      // Short, but a number all the same.
      EXPECT_EQ(text, kNewer);
      Answer(box, IDNO, 0);
    } else {
      const std::string unknown = "The version of the adware definitions could not be determined.";
      EXPECT_EQ(text.substr(0, unknown.size()), unknown) << text;
      AnswerMessageBox(box, IDOK);
    }
    EXPECT_FALSE(app_.WaitForExit(300));
    app_.Kill();
  }
}

TEST_F(UpdateTest, YesReplacesTheDefinitionsWholeButTheLoadedListOnlyAfterRestart) {
  Serve("1.5");
  HWND box = CheckNow("Ver1.4 old\r\nfoo.exe|Adware\r\n");
  ASSERT_NE(box, nullptr);
  ASSERT_EQ(MessageBoxText(box), kNewer);
  HWND next = Answer(box, IDYES);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(MessageBoxText(next), kUpdated);
  EXPECT_EQ(app_.FindTopLevel("TallowickParawardenProgress", std::nullopt), nullptr);
  EXPECT_EQ(ReadFileText(AppFile("ref.dat")), std::optional<std::string>(kServerDefinitions));
  EXPECT_FALSE(PathExists(AppFile("ref.tmp")));
  EXPECT_FALSE(PathExists(AppFile("upd.txt")));
  AnswerMessageBox(next, IDOK);

  HWND main = app_.MainWindow();
  EXPECT_EQ(WindowText(Child(main, ids::StatusDefinitionsValue)), "Ver1.4 old");
  // The splash window's start button runs the start procedure again.
  Click(Child(app_.SplashWindow(), ids::SplashStart));
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
  app_.TrayEvent(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(Child(main, ids::StatusDefinitionsValue)) == "Ver1.50 from the server"; }));
  EXPECT_EQ(WindowText(Child(main, ids::StatusProtectionValue)), "3 Adware/Spyware types");
}

TEST_F(UpdateTest, DefinitionsTheSignatureDoesNotCoverAreRefusedAndSaysSo) {
  Serve("1.5");
  // Changed on the way: one byte of the signed file.
  std::string altered = kServerDefinitions;
  altered[altered.find("new.exe")] = 'm';
  server_.Answer("/products/qvr/ref.dat", {200, altered});
  const std::string refDat = "Ver1.4 old\r\nfoo.exe|Adware\r\n";
  HWND box = CheckNow(refDat);
  ASSERT_NE(box, nullptr);
  HWND failure = Answer(box, IDYES);
  ASSERT_NE(failure, nullptr);
  EXPECT_EQ(MessageBoxText(failure), kNotVerified);
  AnswerMessageBox(failure, IDOK);
  EXPECT_EQ(ReadFileText(AppFile("ref.dat")), std::optional<std::string>(refDat));
  EXPECT_FALSE(PathExists(AppFile("ref.tmp")));
  EXPECT_EQ(server_.Requests("/products/qvr/ref.dat.sig"), 1);
}

struct BadDownload {
  const char* name;
  HttpResponse response;
  friend void PrintTo(const BadDownload& c, std::ostream* os) { *os << c.name; }
};

class BadDownloadTest : public UpdateTest, public ::testing::WithParamInterface<BadDownload> {};

TEST_P(BadDownloadTest, LeavesTheDefinitionsUntouchedAndSaysSo) {
  Serve("1.5", GetParam().response);
  const std::string refDat = "Ver1.4 old\r\nfoo.exe|Adware\r\n";
  HWND box = CheckNow(refDat);
  ASSERT_NE(box, nullptr);
  HWND failure = Answer(box, IDYES);
  ASSERT_NE(failure, nullptr);
  EXPECT_EQ(MessageBoxText(failure), kNotRetrieved);
  EXPECT_EQ(app_.FindTopLevel("TallowickParawardenProgress", std::nullopt), nullptr);
  AnswerMessageBox(failure, IDOK);
  EXPECT_EQ(ReadFileText(AppFile("ref.dat")), std::optional<std::string>(refDat));
  EXPECT_FALSE(PathExists(AppFile("ref.tmp")));
}

INSTANTIATE_TEST_SUITE_P(
    Update, BadDownloadTest,
    ::testing::Values(
        BadDownload{"HtmlPage", {200, "<!DOCTYPE html>\r\n<html><body>Service unavailable</body></html>\r\n"}},
        BadDownload{"EmptyBody", {200, ""}},
        BadDownload{"NotFound", {404, "<html>missing</html>"}},
        BadDownload{"CutOffMidway", {200, std::string(kServerDefinitions) + std::string(4000, 'x'), 30}},
        // Cut after whole entries: it would pass for a definitions file.
        BadDownload{"CutOffAfterEntries",
                    {200, std::string(kServerDefinitions) + std::string(4000, 'x'),
                     static_cast<int>(std::string(kServerDefinitions).size())}},
        // The same without an announced length: only the closed connection ends it.
        BadDownload{"CutOffAfterEntriesWithoutALength",
                    {200, std::string(kServerDefinitions) + std::string(4000, 'x'),
                     static_cast<int>(std::string(kServerDefinitions).size()), 0, "", "none"}},
        BadDownload{"HeaderOnly", {200, "Ver1.50\r\n"}},
        // Older than the definitions in place, or a version the next check could not read.
        BadDownload{"OlderThanInstalled", {200, "Ver1.3 stale\r\nnew.exe|Adware\r\n"}},
        BadDownload{"QuotedVersion", {200, "\"Ver1.50\"\r\nnew.exe|Adware\r\n"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A server, or anyone on the plain-HTTP path to it, answering with
// something meant to crash or freeze the program.
struct HostileCase {
  const char* name;
  const char* file;  // the one answered with hostility
  std::function<HttpResponse()> response;
  const char* message;  // nullptr: the automatic check at start, which stays silent
  int requests;         // that the hostile file receives
  friend void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }
};

class HostileServerTest : public UpdateTest, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileServerTest, EndsWithinTheLimitsAndLeavesTheProgramAndDefinitionsAsTheyWere) {
  const HostileCase& c = GetParam();
  // Small limits keep the test short; the built-in ones are 30 s each.
  const std::string updates = "Software\\VB and VBA Program Settings\\Tallowick Parawarden\\UPDATES";
  SetUserString(updates, "CONNECTTIMEOUT", "2000");
  SetUserString(updates, "STALLTIMEOUT", "2000");
  // Connect and stall time and a message box, with room to spare; without
  // the limits each case held the program for minutes or ended it.
  constexpr int kLimitMs = 8000;
  const std::string hostile = std::string("/products/qvr/") + c.file;
  Serve("1.5");
  const HttpResponse response = c.response();
  server_.Answer(hostile, response);
  // Signed, so that what the server sends is what the program has to read.
  if (std::string(c.file) == "ref.dat") {
    server_.Answer("/products/qvr/ref.dat.sig", {200, signer_.SignatureFile(response.body, "1.50")});
  }
  const std::string refDat = "Ver1.4 old\r\nfoo.exe|Adware\r\n";

  if (c.message == nullptr) {
    SetSetting("AUTOUPDATE", "1");
    App::Install(appFolder(), refDat);
    ASSERT_TRUE(app_.Start(appFolder()));
    ASSERT_NE(app_.WaitForSplash(kLimitMs + 4000), nullptr);
    EXPECT_EQ(app_.WaitForMessageBox(500), nullptr);
  } else {
    ASSERT_NE(StartProgram(refDat), nullptr);
    HWND main = VisibleMainWindow();
    ASSERT_NE(main, nullptr);
    SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, 3, 0);
    Click(Child(main, ids::UpdatesCheckButton));
    if (std::string(c.file) == "ref.dat") {
      HWND question = app_.WaitForMessageBox(kLimitMs);
      ASSERT_NE(question, nullptr);
      ASSERT_EQ(MessageBoxText(question), kNewer);
      AnswerMessageBox(question, IDYES);
      WaitUntil([&] { return !IsWindow(question); });
    }
    // The transfer runs, or has just failed; either way the window paints.
    InvalidateRect(main, nullptr, FALSE);
    EXPECT_TRUE(WaitUntil([&] { return !GetUpdateRect(main, nullptr, FALSE); }, 1000));
    // A silent server holds the transfer for seconds: a click meanwhile
    // must not start a second check once it ends.
    if (response.silent) ClickWithMouse(Child(main, ids::UpdatesCheckButton));
    HWND failure = app_.WaitForMessageBox(kLimitMs);
    ASSERT_NE(failure, nullptr);
    EXPECT_EQ(MessageBoxText(failure), c.message);
    AnswerMessageBox(failure, IDOK);
    WaitUntil([&] { return !IsWindow(failure); });
    EXPECT_EQ(app_.WaitForMessageBox(1000), nullptr);
  }
  DWORD_PTR answer = 0;
  EXPECT_NE(SendMessageTimeoutW(app_.MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer), 0);
  EXPECT_FALSE(app_.HasExited());
  EXPECT_EQ(ReadFileText(AppFile("ref.dat")), std::optional<std::string>(refDat));
  EXPECT_FALSE(PathExists(AppFile("upd.txt")));
  EXPECT_FALSE(PathExists(AppFile("ref.tmp")));
  EXPECT_EQ(server_.Requests(hostile), c.requests);
}

HttpResponse Body(std::string body) {
  HttpResponse r;
  r.body = std::move(body);
  return r;
}

HttpResponse Redirect(const char* to) {
  HttpResponse r;
  r.status = 302;
  r.location = to;
  return r;
}

HttpResponse Silent() {
  HttpResponse r;
  r.silent = true;
  return r;
}

HttpResponse Trickle(std::string body) {
  HttpResponse r = Body(std::move(body));
  r.trickleMs = 300;
  return r;
}

INSTANTIATE_TEST_SUITE_P(
    Update, HostileServerTest,
    ::testing::Values(
        HostileCase{"VersionFileOf16MegabytesOfCommas", "version.txt",
                    [] { return Body(std::string(16 * 1024 * 1024, ',')); }, kUnknown, 1},
        HostileCase{"DefinitionsOf32MegabytesOfCommas", "ref.dat",
                    [] { return Body("Ver1.50\r\nnew.exe|Adware\r\n" + std::string(32 * 1024 * 1024, ',')); },
                    kNotRetrieved, 1},
        HostileCase{"EndlessRedirect", "version.txt", [] { return Redirect("/products/qvr/version.txt"); },
                    kNotFound, 6},
        HostileCase{"RedirectToALocalFile", "ref.dat", [] { return Redirect("file:///C:/windows/win.ini"); },
                    kNotRetrieved, 1},
        HostileCase{"ServerThatNeverAnswers", "version.txt", Silent, kNotFound, 1},
        HostileCase{"VersionFileTrickled", "version.txt", [] { return Trickle("1.5," + std::string(100, ' ')); },
                    kNotFound, 1},
        HostileCase{"DefinitionsTrickled", "ref.dat", [] { return Trickle(kServerDefinitions); }, kNotRetrieved, 1},
        HostileCase{"LengthPast32Bits", "ref.dat",
                    [] {
                      HttpResponse r = Body(kServerDefinitions);
                      r.announcedLength = std::to_string((1ull << 32) + r.body.size());
                      return r;
                    },
                    kNotRetrieved, 1},
        HostileCase{"ServerThatNeverAnswersAtStart", "version.txt", Silent, nullptr, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateTest, TheDownloadWindowIsCentredAndCannotBeClosedWhileItRuns) {
  Serve("1.5", {200, kServerDefinitions, -1, 3000});
  HWND box = CheckNow("Ver1.4 old\r\nfoo.exe|Adware\r\n");
  ASSERT_NE(box, nullptr);
  AnswerMessageBox(box, IDYES);
  HWND progress = app_.WaitForTopLevel("TallowickParawardenProgress", std::nullopt, 5000);
  ASSERT_NE(progress, nullptr);
  // Found perhaps between its creation and its showing.
  EXPECT_NE(app_.WaitForVisible(progress, 5000), nullptr);
  wchar_t caption[64] = {};
  GetWindowTextW(progress, caption, 64);
  EXPECT_STREQ(caption, L"Downloading Update");
  RECT rect = {};
  ASSERT_TRUE(GetWindowRect(progress, &rect));
  RECT work = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_LE(std::abs((rect.left + rect.right) / 2 - (work.left + work.right) / 2), 1);
  EXPECT_LE(std::abs((rect.top + rect.bottom) / 2 - (work.top + work.bottom) / 2), 1);
  const DWORD style = static_cast<DWORD>(GetWindowLongW(progress, GWL_STYLE));
  EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);
  PostMessageW(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
  PostMessageW(progress, WM_CLOSE, 0, 0);
  HWND done = app_.WaitForMessageBox(20000);
  ASSERT_NE(done, nullptr);
  EXPECT_EQ(MessageBoxText(done), kUpdated);
  EXPECT_FALSE(IsWindow(progress));
  AnswerMessageBox(done, IDOK);
}

TEST_F(UpdateTest, DefinitionsThatCannotBeReplacedStayAsTheyWere) {
  Serve("1.5");
  const std::string refDat = "Ver1.4 old\r\nfoo.exe|Adware\r\n";
  ASSERT_NE(StartProgram(refDat), nullptr);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, 5, 0);
  Click(Child(main, ids::AboutCheckButton));
  HWND box = app_.WaitForMessageBox(20000);
  ASSERT_NE(box, nullptr);
  ASSERT_EQ(MessageBoxText(box), kNewer);
  // Held open without sharing by another process while the download runs.
  platform::UniqueHandle held(CreateFileW(platform::Widen(AppFile("ref.dat")).c_str(), GENERIC_READ, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
  ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
  HWND failure = Answer(box, IDYES);
  ASSERT_NE(failure, nullptr);
  EXPECT_EQ(MessageBoxText(failure).substr(0, 59), "The new adware definitions could not replace the current on");
  AnswerMessageBox(failure, IDOK);
  held.reset();
  EXPECT_EQ(ReadFileText(AppFile("ref.dat")), std::optional<std::string>(refDat));
  EXPECT_FALSE(PathExists(AppFile("ref.tmp")));
}

TEST_F(UpdateTest, TheAutomaticCheckRunsBeforeStartUpLoadsTheDefinitions) {
  SetSetting("AUTOUPDATE", "1");
  Serve("1.5");
  App::Install(appFolder(), std::string("Ver1.4 old\r\nfoo.exe|Adware\r\n"));
  ASSERT_TRUE(app_.Start(appFolder()));
  HWND box = app_.WaitForMessageBox(20000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), kNewer);
  EXPECT_EQ(app_.SplashWindow(), nullptr);
  HWND next = Answer(box, IDYES);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(MessageBoxText(next), kUpdated);
  AnswerMessageBox(next, IDOK);
  ASSERT_NE(app_.WaitForSplash(), nullptr);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(WindowText(Child(main, ids::StatusDefinitionsValue)), "Ver1.50 from the server");
}

TEST_F(UpdateTest, ScanNowDoesNothingWhileTheAutomaticCheckHoldsBackTheDefinitions) {
  SetSetting("AUTOUPDATE", "1");
  Serve("1.4");
  App::Install(appFolder(), std::string("Ver1.4 current\r\nfoo.exe|Adware\r\n"));
  ASSERT_TRUE(app_.Start(appFolder()));
  HWND box = app_.WaitForMessageBox(20000);
  ASSERT_NE(box, nullptr);
  app_.TrayEvent(WM_LBUTTONDBLCLK);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  SendMessageW(Child(main, ids::MainTabs), TCM_SETCURFOCUS, 1, 0);
  // Posted before the answer, so handled while the box is still open.
  Click(Child(main, ids::ScanNowButton));
  AnswerMessageBox(box, IDOK);
  ASSERT_NE(app_.WaitForSplash(), nullptr);
  EXPECT_EQ(app_.FindTopLevel("TallowickParawardenScan", std::nullopt), nullptr);
  EXPECT_FALSE(GetSetting("SCANCOUNT").has_value());
}

TEST_F(UpdateTest, TheAutomaticCheckSaysSoWhenTheDefinitionsAreCurrent) {
  SetSetting("AUTOUPDATE", "1");
  Serve("1.4");
  App::Install(appFolder(), std::string("Ver1.4 current\r\nfoo.exe|Adware\r\n"));
  ASSERT_TRUE(app_.Start(appFolder()));
  HWND box = app_.WaitForMessageBox(20000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), kUpToDate);
  AnswerMessageBox(box, IDOK);
  EXPECT_NE(app_.WaitForSplash(), nullptr);
}

}  // namespace
}  // namespace e2e
