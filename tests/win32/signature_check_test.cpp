// Checking RSA signatures (PKCS #1 v1.5, SHA-256) with the system's
// provider: published test vectors, and the shipped definitions as
// tools/sign-definitions signed them with openssl at build time, checked
// with the built-in key as an update is.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/definitions_signature.h"
#include "core/publisher_keys.h"
#include "platform/files.h"
#include "platform/signature_check.h"
#include "platform/text.h"

namespace {

using platform::SignatureCheck;

std::vector<unsigned char> FromHex(const std::string& hex) {
  std::vector<unsigned char> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// Wycheproof's rsa_signature_2048_sha256_test.json (C2SP/wycheproof): its
// first key and the test cases named by their tcId.
const char* const kWycheproofModulus =
    "a2b451a07d0aa5f96e455671513550514a8a5b462ebef717094fa1fee82224e637f9746d3f7cafd31878d80325b6ef5a"
    "1700f65903b469429e89d6eac8845097b5ab393189db92512ed8a7711a1253facd20f79c15e8247f3d3e42e46e48c98e"
    "254a2fe9765313a03eff8f17e1a029397a1fa26a8dce26f490ed81299615d9814c22da610428e09c7d9658594266f5c0"
    "21d0fceca08d945a12be82de4d1ece6b4c03145b5d3495d4ed5411eb878daf05fd7afc3e09ada0f1126422f590975a19"
    "69816f48698bcbba1b4d9cae79d460d8f9f85e7975005d9bc22c4e5ac0f7c1a45d12569a62807d3b9a02e5a530e77306"
    "6f453d1f5b4c2e9cf7820283f742b9d5";

TEST(SignatureCheck, PublishedTestVectors) {
  struct Row {
    const char* name;
    std::string_view message;
    const char* signature;
    SignatureCheck expected;
  };
  const char* const tc1 =
    "840f5dac53106dd1f9c57219224cf51289290c42f20466875ba8e830ac5690e541536fcc8ab03b731f82bf66d83f194e"
    "7e180b3963ec7a2f3f7904a7ce49aed47da4d4b79421eaf937d301b3e696169297b797c32c076a12be4de0b58e003c51"
    "23051a84a10c62f8dac2f42a8640008eb3c7cccd6760ff5b51b689763922582845f048fb8150e5a7a6ca2eccc7bdc853"
    "49ad5b26c52137a79fa3fe5c29ab5cd7615013219c1941b6708e9c3c23feff5febaf0c8ebca5750b54e3e6e99a3e876b"
    "396f27860b7f3ec4e9191703c6332d944f6f69751167680c79c4f6b57f1cc8755d24b6ec158ccdbacdb23107a33cb6b3"
    "32516c13274d1f9dccc21dced869e486";
  const char* const tc3 =
    "264491e844c119f14e425c03282139a558dcdaeb82a4628173cd407fd319f9076eaebc0dd87a1c22e4d17839096886d5"
    "8a9d5b7f7aeb63efec56c45ac7bead4203b6886e1faa90e028ec0ae094d46bf3f97efdd19045cfbc25a1abda2432639f"
    "9876405c0d68f8edbf047c12a454f7681d5d5a2b54bd3723d193dbad4338baad753264006e2d08931c4b8bb79aa1c9ca"
    "d10eb6605f87c5831f6e2b08e002f9c6f21141f5841d92727dd3e1d99c36bc560da3c9067df99fcaf818941f72588be3"
    "3032bad22caf6704223bb114d575b6d02d9d222b580005d930e8f40cce9f672eebb634a20177d84351627964b83f2053"
    "d736a84ab1a005f63bd5ba943de6205c";
  // A valid signature over "123400" but for a DigestInfo encoded wrongly.
  const char* const tc9 =
    "8a0e82d4f334aca72a718b6f8f643f69c6048d619d5eba71263a5d2d3ac7a7af133b780c7595ca2c982c006e861948f5"
    "43cd0210c758691f9626842c25de2843ea314ca8eff285d47e0cffa54180af416004017034962a80a5959c3d3f1bfc15"
    "4a4824462a93c014f6dfe920824f414a6e30e0e5944d480b99949ec7bf64c4a7461575933b17d7d6b0178b5192392ace"
    "3ed8469e8ac1dacae51ad5d3ad73dcb213e056d04596e64d8c0703def3110c7cecc93ba8ac8059f0f3d66b89d8712c62"
    "b41d407e4b4a104f4569558b0290c213cad6d0653898b9df8f4a453ab07d13bfb7598d505abbd0c4987e4f1ac66e1a52"
    "3e113e370ab7cf990f0cc63f50f4f0a4";
  const Row rows[] = {
      {"tc1 empty message", "", tc1, SignatureCheck::Valid},
      {"tc3 \"Test\"", "Test", tc3, SignatureCheck::Valid},
      {"tc3 with one letter changed", "Tesu", tc3, SignatureCheck::Invalid},
      {"tc1 over tc3's message", "Test", tc1, SignatureCheck::Invalid},
      {"tc9 long form length of sequence", "123400", tc9, SignatureCheck::Invalid},
  };
  core::PublicKey key;
  key.id = "wycheproof";
  key.modulus = FromHex(kWycheproofModulus);
  const std::vector<unsigned char> blob = core::PublicKeyBlob(key);
  for (const Row& row : rows) {
    EXPECT_EQ(platform::CheckSignature(blob, {row.message}, FromHex(row.signature)), row.expected) << row.name;
  }
  // The pieces are hashed as one message.
  EXPECT_EQ(platform::CheckSignature(blob, {"Te", "", "st"}, FromHex(tc3)), SignatureCheck::Valid);
  EXPECT_TRUE(platform::SignatureCheckAvailable());
}

// The folder the build publishes to the update server, copied beside the
// test programs' folder.
std::string PublishedFile(const char* name) {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::string path = platform::Narrow(module);
  path = path.substr(0, path.find_last_of('\\'));
  path = path.substr(0, path.find_last_of('\\'));
  return path + "\\update-server\\products\\qvr\\" + name;
}

TEST(SignatureCheck, TheShippedDefinitionsCarryTheCurrentBuiltInKeysSignature) {
  std::string definitions;
  std::string signatureText;
  ASSERT_EQ(platform::ReadFileBytes(PublishedFile("ref.dat"), definitions), platform::ReadResult::Ok);
  ASSERT_EQ(platform::ReadFileBytes(PublishedFile("ref.dat.sig"), signatureText), platform::ReadResult::Ok);
  core::DefinitionsSignature signature;
  ASSERT_TRUE(core::ParseDefinitionsSignature(signatureText, signature));
  const std::vector<core::PublicKey> keys = core::ParsePublicKeys(core::kBuiltInPublisherKeys);
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(signature.keyId, keys[0].id);
  const std::vector<unsigned char> current = core::PublicKeyBlob(keys[0]);
  EXPECT_EQ(platform::CheckSignature(current, {core::SignedHeader(signature), definitions}, signature.signature),
            SignatureCheck::Valid);
  // The next key, or the shipped file with its last byte gone, does not do.
  EXPECT_EQ(platform::CheckSignature(core::PublicKeyBlob(keys[1]), {core::SignedHeader(signature), definitions},
                                     signature.signature),
            SignatureCheck::Invalid);
  definitions.pop_back();
  EXPECT_EQ(platform::CheckSignature(current, {core::SignedHeader(signature), definitions}, signature.signature),
            SignatureCheck::Invalid);
}

}  // namespace
