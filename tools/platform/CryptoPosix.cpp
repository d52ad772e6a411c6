#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>
#include <openssl/rand.h>

#include <stdexcept>

#include "bundle/Crypto.h"

namespace quarn_tools {

struct Sha256::State {
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  ~State() { EVP_MD_CTX_free(context); }
};

Sha256::Sha256() : m_state(new State) {
  if (!m_state->context || EVP_DigestInit_ex(m_state->context, EVP_sha256(), nullptr) != 1)
    throw std::runtime_error("SHA-256 is not available");
}

Sha256::~Sha256() = default;

void Sha256::Add(const char* data, std::size_t size) {
  if (size > 0 && EVP_DigestUpdate(m_state->context, data, size) != 1) throw std::runtime_error("SHA-256 failed");
}

std::string Sha256::Finish() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_DigestFinal_ex(m_state->context, digest, &size) != 1) throw std::runtime_error("SHA-256 failed");
  return std::string(reinterpret_cast<const char*>(digest), size);
}

// The key is taken in once; each message starts from a copy of that state,
// so no message pays for the key again.
struct HmacSha256::State {
  EVP_MAC* mac = nullptr;
  EVP_MAC_CTX* keyed = nullptr;
  ~State() {
    EVP_MAC_CTX_free(keyed);
    EVP_MAC_free(mac);
  }
};

HmacSha256::HmacSha256(const std::string& key) : m_state(new State) {
  char digest[] = "SHA256";
  const OSSL_PARAM parameters[] = {OSSL_PARAM_construct_utf8_string("digest", digest, 0), OSSL_PARAM_construct_end()};
  m_state->mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
  m_state->keyed = m_state->mac ? EVP_MAC_CTX_new(m_state->mac) : nullptr;
  if (!m_state->keyed ||
      EVP_MAC_init(m_state->keyed, reinterpret_cast<const unsigned char*>(key.data()), key.size(), parameters) != 1)
    throw std::runtime_error("HMAC-SHA-256 failed");
}

HmacSha256::~HmacSha256() = default;

std::string HmacSha256::Of(const std::string& message) const {
  unsigned char code[EVP_MAX_MD_SIZE];
  std::size_t size = 0;
  EVP_MAC_CTX* context = EVP_MAC_CTX_dup(m_state->keyed);
  const bool made =
      context && EVP_MAC_update(context, reinterpret_cast<const unsigned char*>(message.data()), message.size()) == 1 &&
      EVP_MAC_final(context, code, &size, sizeof code) == 1;
  EVP_MAC_CTX_free(context);
  if (!made) throw std::runtime_error("HMAC-SHA-256 failed");
  return std::string(reinterpret_cast<const char*>(code), size);
}

bool RandomBytes(std::size_t count, std::string& bytes) {
  bytes.assign(count, '\0');
  return RAND_bytes(reinterpret_cast<unsigned char*>(&bytes[0]), static_cast<int>(count)) == 1;
}

}  // namespace quarn_tools
