#include "driver/test_signer.h"

#include <vector>

#include "platform/handles.h"
#include "platform/text.h"

namespace e2e {
namespace {

constexpr const wchar_t* kTrustedKeysPath = L"SOFTWARE\\Tallowick Parawarden\\UPDATES";
constexpr const wchar_t* kTrustedKeysValue = L"TRUSTEDKEYS";
constexpr ALG_ID kSha256 = ALG_CLASS_HASH | ALG_TYPE_ANY | 12;  // ALG_SID_SHA_256

std::string Hex(const std::vector<unsigned char>& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (unsigned char b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

void SetTrustedKeys(const std::string* keys) {
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTrustedKeysPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  platform::UniqueRegKey key(raw);
  if (keys == nullptr) {
    RegDeleteValueW(key.get(), kTrustedKeysValue);
    return;
  }
  const std::wstring value = platform::Widen(*keys);
  RegSetValueExW(key.get(), kTrustedKeysValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

TestSigner::TestSigner(std::string keyId, bool trusted) : keyId_(std::move(keyId)), trusted_(trusted) {
  if (!CryptAcquireContextW(&provider_, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT | CRYPT_SILENT)) {
    provider_ = 0;
    return;
  }
  // 2048 bits in the upper half of the flags, exportable for its public half.
  if (!CryptGenKey(provider_, AT_SIGNATURE, (2048u << 16) | CRYPT_EXPORTABLE, &key_)) key_ = 0;
  if (key_ != 0 && trusted_) {
    const std::string line = PublicKeyLine();
    SetTrustedKeys(&line);
  }
}

TestSigner::~TestSigner() {
  if (key_ != 0 && trusted_) SetTrustedKeys(nullptr);
  if (key_ != 0) CryptDestroyKey(key_);
  if (provider_ != 0) CryptReleaseContext(provider_, 0);
}

std::string TestSigner::PublicKeyLine() const {
  DWORD size = 0;
  if (!CryptExportKey(key_, 0, PUBLICKEYBLOB, 0, nullptr, &size)) return std::string();
  std::vector<unsigned char> blob(size);
  if (!CryptExportKey(key_, 0, PUBLICKEYBLOB, 0, blob.data(), &size)) return std::string();
  // BLOBHEADER and RSAPUBKEY (20 bytes), then the modulus least significant
  // byte first.
  const std::vector<unsigned char> modulus(blob.rbegin(), blob.rend() - 20);
  return keyId_ + ":" + Hex(modulus);
}

std::string TestSigner::SignatureFile(const std::string& definitions, const std::string& version,
                                      const std::string& file) const {
  const std::string header = "Tallowick Parawarden signature 1\nkey: " + keyId_ +
                             "\nproduct: Tallowick Parawarden definitions\nfile: " + file + "\nversion: " + version + "\n";
  HCRYPTHASH hash = 0;
  if (!CryptCreateHash(provider_, kSha256, 0, 0, &hash)) return std::string();
  std::vector<unsigned char> signature;
  DWORD size = 0;
  if (CryptHashData(hash, reinterpret_cast<const BYTE*>(header.data()), static_cast<DWORD>(header.size()), 0) &&
      CryptHashData(hash, reinterpret_cast<const BYTE*>(definitions.data()), static_cast<DWORD>(definitions.size()),
                    0) &&
      CryptSignHashW(hash, AT_SIGNATURE, nullptr, 0, nullptr, &size)) {
    signature.resize(size);
    if (!CryptSignHashW(hash, AT_SIGNATURE, nullptr, 0, signature.data(), &size)) signature.clear();
  }
  CryptDestroyHash(hash);
  if (signature.empty()) return std::string();
  // CryptoAPI writes it least significant byte first; the file holds it as
  // openssl does.
  return header + "signature: " + Hex(std::vector<unsigned char>(signature.rbegin(), signature.rend())) + "\n";
}

}  // namespace e2e
