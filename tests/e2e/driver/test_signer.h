// Signing for the update tests: an RSA key pair made by the system's own
// provider when the test starts (no private key is kept anywhere), trusted
// the way an administrator trusts a key of their own, through the machine's
// TRUSTEDKEYS value, for as long as the signer lives.
#pragma once

#include <windows.h>
#include <wincrypt.h>

#include <string>

namespace e2e {

class TestSigner {
 public:
  // `trusted`: whether the key is written to the machine's trusted keys.
  TestSigner(std::string keyId, bool trusted);
  ~TestSigner();
  TestSigner(const TestSigner&) = delete;
  TestSigner& operator=(const TestSigner&) = delete;

  bool Ready() const { return key_ != 0; }
  // "id:modulus-in-hex", as tools/sign-definitions --public-key prints it.
  std::string PublicKeyLine() const;
  // The signature file for `definitions` as `file` of the given version, in
  // the form tools/sign-definitions writes.
  std::string SignatureFile(const std::string& definitions, const std::string& version,
                            const std::string& file = "ref.dat") const;

 private:
  std::string keyId_;
  bool trusted_;
  HCRYPTPROV provider_ = 0;
  HCRYPTKEY key_ = 0;
};

}  // namespace e2e
