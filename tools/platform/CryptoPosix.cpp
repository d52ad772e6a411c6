#include <openssl/evp.h>
#include <openssl/hmac.h>
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

struct HmacSha256::State {
  std::string key;
};

HmacSha256::HmacSha256(const std::string& key) : m_state(new State{key}) {}

HmacSha256::~HmacSha256() = default;

std::string HmacSha256::Of(const std::string& message) const {
  unsigned char code[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (!HMAC(EVP_sha256(), m_state->key.data(), static_cast<int>(m_state->key.size()),
            reinterpret_cast<const unsigned char*>(message.data()), message.size(), code, &size))
    throw std::runtime_error("HMAC-SHA-256 failed");
  return std::string(reinterpret_cast<const char*>(code), size);
}

bool RandomBytes(std::size_t count, std::string& bytes) {
  bytes.assign(count, '\0');
  return RAND_bytes(reinterpret_cast<unsigned char*>(&bytes[0]), static_cast<int>(count)) == 1;
}

}  // namespace quarn_tools
