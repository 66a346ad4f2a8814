#include "core/definitions_signature.h"

#include <cstdint>

namespace core {
namespace {

constexpr std::string_view kFirstLine = "Tallowick Parawarden signature 1";
constexpr size_t kMinSignatureBytes = 2048 / 8;
constexpr size_t kMaxSignatureBytes = 4096 / 8;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ReadHex(std::string_view text, std::vector<unsigned char>& bytes) {
  if (text.empty() || text.size() % 2 != 0) return false;
  bytes.clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    const int high = HexValue(text[i]);
    const int low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes.push_back(static_cast<unsigned char>(high * 16 + low));
  }
  return true;
}

bool IsKeyId(std::string_view id) {
  if (id.empty() || id.size() > 64) return false;
  for (char c : id) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                    c == '_' || c == '-';
    if (!ok) return false;
  }
  return true;
}

// Printable ASCII only, so that what was signed reads the same everywhere.
bool IsPlainText(std::string_view text) {
  if (text.empty() || text.size() > 100) return false;
  for (char c : text) {
    if (c < ' ' || c > '~') return false;
  }
  return true;
}

// Takes the next line off `text`, without its LF or CR LF; false when no
// line end follows.
bool NextLine(std::string_view& text, std::string_view& line) {
  const size_t end = text.find('\n');
  if (end == std::string_view::npos) return false;
  line = text.substr(0, end);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  text.remove_prefix(end + 1);
  return true;
}

bool Field(std::string_view& text, std::string_view name, std::string_view& value) {
  std::string_view line;
  if (!NextLine(text, line) || line.substr(0, name.size()) != name) return false;
  line.remove_prefix(name.size());
  if (line.substr(0, 2) != ": ") return false;
  value = line.substr(2);
  return true;
}

void AppendUint32(std::vector<unsigned char>& blob, uint32_t value) {
  for (int i = 0; i < 4; ++i) blob.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

}  // namespace

bool ParseDefinitionsSignature(std::string_view text, DefinitionsSignature& parsed) {
  std::string_view first, key, product, file, version, signature;
  if (!NextLine(text, first) || first != kFirstLine) return false;
  if (!Field(text, "key", key) || !Field(text, "product", product) || !Field(text, "file", file) ||
      !Field(text, "version", version) || !Field(text, "signature", signature) || !text.empty()) {
    return false;
  }
  if (!IsKeyId(key) || !IsPlainText(product) || !IsPlainText(file) || !IsPlainText(version)) return false;
  DefinitionsSignature result;
  if (!ReadHex(signature, result.signature) || result.signature.size() < kMinSignatureBytes ||
      result.signature.size() > kMaxSignatureBytes) {
    return false;
  }
  result.keyId = key;
  result.product = product;
  result.file = file;
  result.version = version;
  parsed = std::move(result);
  return true;
}

std::string SignedHeader(const DefinitionsSignature& signature) {
  std::string header(kFirstLine);
  header += "\nkey: " + signature.keyId;
  header += "\nproduct: " + signature.product;
  header += "\nfile: " + signature.file;
  header += "\nversion: " + signature.version;
  header += "\n";
  return header;
}

std::vector<PublicKey> ParsePublicKeys(std::string_view text) {
  std::vector<PublicKey> keys;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find_first_of("; \t\r\n", at);
    const std::string_view entry = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
    at = end == std::string_view::npos ? text.size() : end + 1;
    if (entry.empty()) continue;
    const size_t colon = entry.find(':');
    PublicKey key;
    if (colon == std::string_view::npos || !IsKeyId(entry.substr(0, colon)) ||
        !ReadHex(entry.substr(colon + 1), key.modulus)) {
      return {};
    }
    // openssl may print a leading zero byte; the key's size is what follows.
    while (!key.modulus.empty() && key.modulus.front() == 0) key.modulus.erase(key.modulus.begin());
    if (key.modulus.size() < kMinSignatureBytes || key.modulus.size() > kMaxSignatureBytes) return {};
    key.id = entry.substr(0, colon);
    keys.push_back(std::move(key));
  }
  return keys;
}

std::vector<unsigned char> PublicKeyBlob(const PublicKey& key) {
  constexpr unsigned char kPublicKeyBlob = 0x06;
  constexpr unsigned char kBlobVersion = 0x02;
  constexpr uint32_t kRsaSignAlgorithm = 0x2400;  // CALG_RSA_SIGN
  constexpr uint32_t kRsa1Magic = 0x31415352;     // "RSA1": a public key
  constexpr uint32_t kExponent = 65537;
  std::vector<unsigned char> blob = {kPublicKeyBlob, kBlobVersion, 0, 0};
  AppendUint32(blob, kRsaSignAlgorithm);
  AppendUint32(blob, kRsa1Magic);
  AppendUint32(blob, static_cast<uint32_t>(key.modulus.size() * 8));
  AppendUint32(blob, kExponent);
  blob.insert(blob.end(), key.modulus.rbegin(), key.modulus.rend());
  return blob;
}

}  // namespace core
