#include "platform/signature_check.h"

#include <windows.h>

#include <wincrypt.h>

#include <algorithm>
#include <functional>

namespace platform {
namespace {

// The headers declare SHA-256 only for XP SP3 and later targets; the program
// targets XP as a whole and asks the provider at run time.
constexpr ALG_ID kSha256 = ALG_CLASS_HASH | ALG_TYPE_ANY | 12;  // ALG_SID_SHA_256

// CryptoAPI's handles are numbers, not pointers; each has its own release.
class Provider {
 public:
  // The default provider of the RSA and AES type: its name differs between
  // Windows XP ("... (Prototype)") and later versions.
  Provider() {
    if (!CryptAcquireContextW(&handle_, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT | CRYPT_SILENT)) {
      handle_ = 0;
    }
  }
  ~Provider() {
    if (handle_ != 0) CryptReleaseContext(handle_, 0);
  }
  Provider(const Provider&) = delete;
  Provider& operator=(const Provider&) = delete;
  HCRYPTPROV get() const { return handle_; }

 private:
  HCRYPTPROV handle_ = 0;
};

// A key or a hash of a provider; zero when it could not be made.
template <BOOL(WINAPI* Destroy)(ULONG_PTR)>
class CryptObject {
 public:
  explicit CryptObject(const std::function<BOOL(ULONG_PTR*)>& make) {
    if (!make(&handle_)) handle_ = 0;
  }
  ~CryptObject() {
    if (handle_ != 0) Destroy(handle_);
  }
  CryptObject(const CryptObject&) = delete;
  CryptObject& operator=(const CryptObject&) = delete;
  ULONG_PTR get() const { return handle_; }

 private:
  ULONG_PTR handle_ = 0;
};

using Key = CryptObject<CryptDestroyKey>;
using Hash = CryptObject<CryptDestroyHash>;

Hash Sha256Of(HCRYPTPROV provider) {
  return Hash([provider](ULONG_PTR* made) { return CryptCreateHash(provider, kSha256, 0, 0, made); });
}

// CryptHashData takes a DWORD length: a piece goes in slices that fit it.
bool HashPiece(HCRYPTHASH hash, std::string_view piece) {
  constexpr size_t kSlice = 1 << 20;
  for (size_t at = 0; at < piece.size(); at += kSlice) {
    const size_t length = std::min(kSlice, piece.size() - at);
    if (!CryptHashData(hash, reinterpret_cast<const BYTE*>(piece.data() + at), static_cast<DWORD>(length), 0)) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool SignatureCheckAvailable() {
  Provider provider;
  if (provider.get() == 0) return false;
  return Sha256Of(provider.get()).get() != 0;
}

SignatureCheck CheckSignature(const std::vector<unsigned char>& publicKeyBlob,
                              std::initializer_list<std::string_view> signedData,
                              const std::vector<unsigned char>& signature) {
  Provider provider;
  if (provider.get() == 0) return SignatureCheck::Unavailable;
  const Hash hash = Sha256Of(provider.get());
  if (hash.get() == 0) return SignatureCheck::Unavailable;
  const Key key([&](ULONG_PTR* made) {
    return CryptImportKey(provider.get(), publicKeyBlob.data(), static_cast<DWORD>(publicKeyBlob.size()), 0, 0, made);
  });
  if (key.get() == 0 || signature.empty()) return SignatureCheck::Invalid;
  for (std::string_view piece : signedData) {
    if (!HashPiece(hash.get(), piece)) return SignatureCheck::Invalid;
  }
  // CryptoAPI takes the signature least significant byte first.
  const std::vector<unsigned char> reversed(signature.rbegin(), signature.rend());
  return CryptVerifySignatureW(hash.get(), reversed.data(), static_cast<DWORD>(reversed.size()), key.get(), nullptr,
                               0)
             ? SignatureCheck::Valid
             : SignatureCheck::Invalid;
}

}  // namespace platform
