// Reading the signature file published beside ref.dat and the trusted keys,
// and laying out what was signed: the checking itself is the system's.
#include <gtest/gtest.h>

#include <string>

#include "core/definitions_signature.h"
#include "core/publisher_keys.h"

namespace {

const std::string kHex256(512, 'a');  // a 2048-bit signature

std::string SignatureFile(const std::string& key = "dev-1", const std::string& version = "1.50",
                          const std::string& signature = kHex256, const std::string& eol = "\n") {
  return "Tallowick Parawarden signature 1" + eol + "key: " + key + eol +
         "product: Tallowick Parawarden definitions" + eol + "file: ref.dat" + eol + "version: " + version + eol +
         "signature: " + signature + eol;
}

TEST(DefinitionsSignature, OnlyACompleteFileInItsFormIsRead) {
  struct Row {
    const char* name;
    std::string text;
    bool read;
  };
  const Row rows[] = {
      {"plain", SignatureFile(), true},
      {"CR LF line ends", SignatureFile("dev-1", "1.50", kHex256, "\r\n"), true},
      {"4096 bits, upper-case hex", SignatureFile("dev-1", "1.50", std::string(1024, 'F')), true},
      {"empty", "", false},
      {"no final line end", SignatureFile().substr(0, SignatureFile().size() - 1), false},
      {"cut in the signature", SignatureFile().substr(0, SignatureFile().size() - 100), false},
      {"a line more", SignatureFile() + "comment: x\n", false},
      {"another format", "Tallowick Parawarden signature 2" + SignatureFile().substr(32), false},
      {"signature of 2040 bits", SignatureFile("dev-1", "1.50", std::string(510, 'a')), false},
      {"signature of 4104 bits", SignatureFile("dev-1", "1.50", std::string(1026, 'a')), false},
      {"odd hex length", SignatureFile("dev-1", "1.50", std::string(511, 'a')), false},
      {"not hex", SignatureFile("dev-1", "1.50", std::string(510, 'a') + "zz"), false},
      {"blank in the key id", SignatureFile("dev 1"), false},
      {"empty key id", SignatureFile(""), false},
      {"key id of 65 characters", SignatureFile(std::string(65, 'k')), false},
      {"control character in the version", SignatureFile("dev-1", "1.5\t0"), false},
      {"fields out of order",
       "Tallowick Parawarden signature 1\nproduct: Tallowick Parawarden definitions\nkey: dev-1\nfile: ref.dat\n"
       "version: 1.50\nsignature: " +
           kHex256 + "\n",
       false},
      {"no blank after the colon", "Tallowick Parawarden signature 1\nkey:dev-1\n" + SignatureFile().substr(44), false},
  };
  for (const Row& row : rows) {
    core::DefinitionsSignature parsed;
    EXPECT_EQ(core::ParseDefinitionsSignature(row.text, parsed), row.read) << row.name;
  }

  core::DefinitionsSignature parsed;
  ASSERT_TRUE(core::ParseDefinitionsSignature(SignatureFile("dev-1", "1.50", "0102" + kHex256.substr(4), "\r\n"),
                                              parsed));
  EXPECT_EQ(parsed.keyId, "dev-1");
  EXPECT_EQ(parsed.product, core::kSignedProduct);
  EXPECT_EQ(parsed.file, core::kSignedFile);
  EXPECT_EQ(parsed.version, "1.50");
  ASSERT_EQ(parsed.signature.size(), 256u);
  EXPECT_EQ(parsed.signature[0], 0x01);
  EXPECT_EQ(parsed.signature[1], 0x02);
  EXPECT_EQ(parsed.signature[2], 0xaa);
  // What is signed is rebuilt with line feeds, whatever the file's line ends.
  EXPECT_EQ(core::SignedHeader(parsed),
            "Tallowick Parawarden signature 1\nkey: dev-1\nproduct: Tallowick Parawarden definitions\n"
            "file: ref.dat\nversion: 1.50\n");
}

TEST(DefinitionsSignature, TrustedKeysAreReadWholeOrNotAtAll) {
  const std::string modulus = "00" + std::string(512, 'c');
  struct Row {
    const char* name;
    std::string text;
    size_t keys;
  };
  const Row rows[] = {
      {"one, with openssl's leading zero byte", "admin-1:" + modulus, 1},
      {"two, separated by ';' and blanks", "admin-1:" + modulus + "; admin-2:" + modulus.substr(2) + "\r\n", 2},
      {"empty", "", 0},
      {"no id", ":" + modulus, 0},
      {"no modulus", "admin-1:", 0},
      {"one good, one cut short", "admin-1:" + modulus + ";admin-2:" + modulus.substr(0, 300), 0},
      {"1024 bits", "admin-1:" + std::string(256, 'c'), 0},
  };
  for (const Row& row : rows) EXPECT_EQ(core::ParsePublicKeys(row.text).size(), row.keys) << row.name;

  // The built-in current and next keys, 3072 bits each.
  const std::vector<core::PublicKey> builtIn = core::ParsePublicKeys(core::kBuiltInPublisherKeys);
  ASSERT_EQ(builtIn.size(), 2u);
  EXPECT_NE(builtIn[0].id, builtIn[1].id);
  EXPECT_EQ(builtIn[0].modulus.size(), 384u);
  EXPECT_EQ(builtIn[1].modulus.size(), 384u);
}

TEST(DefinitionsSignature, KeyBlobIsTheSystemsPublicKeyLayout) {
  core::PublicKey key;
  key.id = "k";
  key.modulus.assign(256, 0x11);
  key.modulus.front() = 0xC1;
  key.modulus.back() = 0x07;
  const std::vector<unsigned char> blob = core::PublicKeyBlob(key);
  ASSERT_EQ(blob.size(), 20u + 256u);
  const std::vector<unsigned char> header = {0x06, 0x02, 0, 0, 0x00, 0x24, 0, 0,  // PUBLICKEYBLOB, CALG_RSA_SIGN
                                             'R',  'S',  'A', '1', 0x00, 0x08, 0, 0,  // 2048 bits
                                             0x01, 0x00, 0x01, 0x00};                 // 65537
  EXPECT_EQ(std::vector<unsigned char>(blob.begin(), blob.begin() + 20), header);
  // Least significant byte first.
  EXPECT_EQ(blob[20], 0x07);
  EXPECT_EQ(blob.back(), 0xC1);
}

}  // namespace
