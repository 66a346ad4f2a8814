// Checking an RSA signature (PKCS #1 v1.5 over SHA-256) with the system's
// own cryptography: the RSA and AES provider of CryptoAPI, which Windows XP
// has from Service Pack 3 on.
#pragma once

#include <initializer_list>
#include <string_view>
#include <vector>

namespace platform {

enum class SignatureCheck {
  Valid,
  Invalid,      // a wrong signature, or a key the provider refuses
  Unavailable,  // this Windows has no provider for RSA with SHA-256
};

// Checks `signature` (most significant byte first, as openssl writes it)
// over the pieces of `signedData` taken in order, with the key given as a
// PUBLICKEYBLOB (core::PublicKeyBlob).
SignatureCheck CheckSignature(const std::vector<unsigned char>& publicKeyBlob,
                              std::initializer_list<std::string_view> signedData,
                              const std::vector<unsigned char>& signature);

// Whether the provider is there at all, so that a download can be refused
// before it starts.
bool SignatureCheckAvailable();

}  // namespace platform
