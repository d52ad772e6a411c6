// SHA-256 and HMAC-SHA-256, and random bytes, from the platform's
// cryptography: OpenSSL's libcrypto, or CryptoAPI on Windows (XP SP3 on).
// Nothing of the hashing is written here. (tools/platform)
#ifndef QUARN_TOOLS_BUNDLE_CRYPTO_H
#define QUARN_TOOLS_BUNDLE_CRYPTO_H

#include <cstddef>
#include <memory>
#include <string>

namespace quarn_tools {

// A SHA-256 digest of bytes given in parts.
class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;
  void Add(const char* data, std::size_t size);
  void Add(const std::string& bytes) { Add(bytes.data(), bytes.size()); }
  // The 32 bytes of the digest; the object takes nothing more after.
  std::string Finish();

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

// HMAC-SHA-256 under one key, for many messages.
class HmacSha256 {
 public:
  explicit HmacSha256(const std::string& key);
  ~HmacSha256();
  HmacSha256(const HmacSha256&) = delete;
  HmacSha256& operator=(const HmacSha256&) = delete;
  // The 32 bytes of the code of `message`.
  std::string Of(const std::string& message) const;

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

// `count` bytes from the system's source of random numbers; false when it
// gives none.
bool RandomBytes(std::size_t count, std::string& bytes);

}  // namespace quarn_tools

#endif
