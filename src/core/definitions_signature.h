// The detached signature published beside a definitions file, and the
// public keys that may have made it. The signature itself is checked by
// the system's cryptography (platform/signature_check); this module only
// reads the file and lays out what was signed and with which key.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

// What every genuine signature says it covers.
constexpr std::string_view kSignedProduct = "Tallowick Parawarden definitions";
constexpr std::string_view kSignedFile = "ref.dat";

// The signature file: header lines naming the key, the product, the file
// and its version, then the RSA signature (PKCS #1 v1.5, SHA-256) in hex,
// most significant byte first as openssl writes it.
struct DefinitionsSignature {
  std::string keyId;
  std::string product;
  std::string file;
  std::string version;
  std::vector<unsigned char> signature;
};

// False for anything but a complete signature file in that form: lines in
// their order, LF or CR LF, a key id of 1 to 64 letters, digits, ".", "_" or
// "-", a signature of 2048 to 4096 bits.
bool ParseDefinitionsSignature(std::string_view text, DefinitionsSignature& parsed);

// The header lines as signed, each ended by a line feed; the definitions
// file's bytes follow them in the signed data. Rebuilt from the parsed
// fields, so a server's line ends cannot change what is checked.
std::string SignedHeader(const DefinitionsSignature& signature);

// An RSA public key with the exponent 65537, its modulus most significant
// byte first.
struct PublicKey {
  std::string id;
  std::vector<unsigned char> modulus;
};

// Keys written "id:modulus-in-hex" (as `tools/sign-definitions
// --public-key` prints them), several separated by ";" or blanks. Nothing
// for a text in which any key is malformed: a trusted key list is either
// read whole or not trusted at all.
std::vector<PublicKey> ParsePublicKeys(std::string_view text);

// The key as the system's PUBLICKEYBLOB: BLOBHEADER, RSAPUBKEY, then the
// modulus least significant byte first.
std::vector<unsigned char> PublicKeyBlob(const PublicKey& key);

}  // namespace core
