// Signed definitions: the download function itself, called in this process
// against the HTTP server on 127.0.0.1, with a publisher key made for the
// test and trusted through the machine's TRUSTEDKEYS value. The program's
// own run of the same path, with its messages, is in update_test.cpp.
#include <gtest/gtest.h>

#include <functional>

#include "driver/app_driver.h"
#include "driver/http_server.h"
#include "driver/test_signer.h"
#include "driver/wine_registry.h"
#include "features/updates.h"
#include "platform/files.h"

namespace e2e {
namespace {

using Outcome = features::DefinitionsDownload::Outcome;

const std::string kInstalled = "Ver1.40 installed\r\nfoo.exe|Adware\r\n";
const std::string kNewer = "Ver1.50 newer\r\nnew.exe|Adware\r\nother.exe|Spyware\r\n";
const std::string kOlder = "Ver1.45 older\r\nnew.exe|Adware\r\n";
const std::string kUpdatesKey = "Software\\VB and VBA Program Settings\\Tallowick Parawarden\\UPDATES";

struct Keys {
  const TestSigner& publisher;  // trusted by the machine
  const TestSigner& stranger;   // the same key id, another key, trusted nowhere
};

struct HostileCase {
  const char* name;
  std::function<HttpResponse(const Keys&)> signature;
  std::string definitions = kNewer;
  Outcome outcome = Outcome::NotVerified;
  // Run before the download, as a program of the user's might.
  std::function<void(const Keys&)> before = nullptr;
};

class SignedDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramRegistry();
    ASSERT_TRUE(publisher_.Ready());
    ASSERT_TRUE(stranger_.Ready());
  }
  void TearDown() override {
    platform::DeleteEvenIfReadOnly(refDat_);
    ResetProgramRegistry();
  }

  TestSigner publisher_{"test-publisher", true};
  TestSigner stranger_{"test-publisher", false};
  const std::string refDat_ = platform::AppPath("ref.dat");
};

HttpResponse Text(std::string body) { return {200, std::move(body)}; }

TEST_F(SignedDownloadTest, OnlyTheTrustedPublishersSignatureOfTheFileAsServedIsInstalled) {
  const HostileCase cases[] = {
      {"CorrectlySigned", [](const Keys& k) { return Text(k.publisher.SignatureFile(kNewer, "1.50")); }, kNewer,
       Outcome::Replaced},
      {"OneByteChanged", [](const Keys& k) { return Text(k.publisher.SignatureFile(kNewer, "1.50")); },
       std::string(kNewer).replace(kNewer.find("new.exe"), 1, "m")},
      {"TruncatedSignature",
       [](const Keys& k) {
         const std::string file = k.publisher.SignatureFile(kNewer, "1.50");
         return Text(file.substr(0, file.size() - 40) + "\n");
       }},
      {"SignatureFromAnotherKey", [](const Keys& k) { return Text(k.stranger.SignatureFile(kNewer, "1.50")); }},
      {"OlderFilesSignatureServedWithANewerFile",
       [](const Keys& k) { return Text(k.publisher.SignatureFile(kOlder, "1.45")); }},
      {"SignedForAnotherVersion", [](const Keys& k) { return Text(k.publisher.SignatureFile(kNewer, "1.60")); }},
      {"SignedAsAnotherFile",
       [](const Keys& k) { return Text(k.publisher.SignatureFile(kNewer, "1.50", "version.txt")); }},
      {"MissingSignature", [](const Keys&) { return HttpResponse{404, "<html>missing</html>"}; }},
      {"SignatureOf10Megabytes", [](const Keys&) { return Text(std::string(10 * 1024 * 1024, 'a')); }},
      {"SignatureOf10MegabytesWithoutALength",
       [](const Keys&) {
         HttpResponse r = Text(std::string(10 * 1024 * 1024, 'a'));
         r.announcedLength = "none";
         return r;
       }},
      // A key the user's own registry names is no key of the machine's.
      {"KeyAddedInTheUsersRegistry", [](const Keys& k) { return Text(k.stranger.SignatureFile(kNewer, "1.50")); },
       kNewer, Outcome::NotVerified,
       [](const Keys& k) { SetUserString(kUpdatesKey, "TRUSTEDKEYS", k.stranger.PublicKeyLine()); }},
      // Genuinely signed, but older than what is installed: the version never goes down.
      {"SignedButOlderThanInstalled",
       [](const Keys& k) { return Text(k.publisher.SignatureFile("Ver1.30 old\r\nnew.exe|Adware\r\n", "1.30")); },
       "Ver1.30 old\r\nnew.exe|Adware\r\n", Outcome::NotFetched},
  };
  const Keys keys{publisher_, stranger_};
  for (const HostileCase& c : cases) {
    SCOPED_TRACE(c.name);
    // A server of its own: a client that leaves an overlong answer unread
    // may hold this one-connection server in its send for a while.
    HttpServer server;
    ASSERT_TRUE(server.Running());
    SetUpdateServer(server.BaseAddress());
    WriteFileBytes(refDat_, kInstalled);
    server.Answer("/products/qvr/ref.dat", Text(c.definitions));
    server.Answer("/products/qvr/ref.dat.sig", c.signature(keys));
    if (c.before) c.before(keys);
    const features::DefinitionsDownload download = features::DownloadNewDefinitions();
    EXPECT_EQ(static_cast<int>(download.outcome), static_cast<int>(c.outcome));
    EXPECT_EQ(ReadFileText(refDat_), c.outcome == Outcome::Replaced ? c.definitions : kInstalled);
    EXPECT_FALSE(PathExists(platform::AppPath("ref.tmp")));
    ResetProgramRegistry();
  }
}

}  // namespace
}  // namespace e2e
