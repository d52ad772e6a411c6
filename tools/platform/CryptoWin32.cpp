// CryptoAPI: SHA-256 and HMAC in the RSA/AES provider, which Windows has
// from XP SP3 on.
#include "util/platform/Win32.h"

#include <wincrypt.h>

#include <stdexcept>

#include "bundle/Crypto.h"

namespace quarn_tools {
namespace {

// A verification context of the RSA/AES provider, released at the end.
class Provider {
 public:
  Provider() {
    if (!::CryptAcquireContextW(&m_provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT | CRYPT_SILENT))
      throw std::runtime_error("the system's SHA-256 is not available");
  }
  ~Provider() { ::CryptReleaseContext(m_provider, 0); }
  Provider(const Provider&) = delete;
  Provider& operator=(const Provider&) = delete;
  HCRYPTPROV get() const { return m_provider; }

 private:
  HCRYPTPROV m_provider = 0;
};

// A hash object, destroyed at the end.
class Hash {
 public:
  Hash(HCRYPTPROV provider, ALG_ID algorithm, HCRYPTKEY key) {
    if (!::CryptCreateHash(provider, algorithm, key, 0, &m_hash)) throw std::runtime_error("a hash cannot be made");
  }
  ~Hash() { ::CryptDestroyHash(m_hash); }
  Hash(const Hash&) = delete;
  Hash& operator=(const Hash&) = delete;
  void Add(const char* data, std::size_t size) {
    // In parts a DWORD can count.
    while (size > 0) {
      const DWORD part = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
      if (!::CryptHashData(m_hash, reinterpret_cast<const BYTE*>(data), part, 0))
        throw std::runtime_error("hashing failed");
      data += part;
      size -= part;
    }
  }
  std::string Value() {
    BYTE value[32];
    DWORD size = sizeof value;
    if (!::CryptGetHashParam(m_hash, HP_HASHVAL, value, &size, 0)) throw std::runtime_error("hashing failed");
    return std::string(reinterpret_cast<const char*>(value), size);
  }
  HCRYPTHASH get() const { return m_hash; }

 private:
  HCRYPTHASH m_hash = 0;
};

}  // namespace

struct Sha256::State {
  Provider provider;
  Hash hash{provider.get(), CALG_SHA_256, 0};
};

Sha256::Sha256() : m_state(new State) {}
Sha256::~Sha256() = default;
void Sha256::Add(const char* data, std::size_t size) { m_state->hash.Add(data, size); }
std::string Sha256::Finish() { return m_state->hash.Value(); }

// The key imported as CryptoAPI takes an HMAC key: a plain RC2 key blob
// marked for HMAC, whatever its length.
struct HmacSha256::State {
  Provider provider;
  HCRYPTKEY key = 0;
  ~State() {
    if (key) ::CryptDestroyKey(key);
  }
};

HmacSha256::HmacSha256(const std::string& key) : m_state(new State) {
  struct {
    BLOBHEADER header;
    DWORD size;
  } head = {{PLAINTEXTKEYBLOB, CUR_BLOB_VERSION, 0, CALG_RC2}, static_cast<DWORD>(key.size())};
  std::string blob(reinterpret_cast<const char*>(&head), sizeof head);
  blob += key;
  if (!::CryptImportKey(m_state->provider.get(), reinterpret_cast<const BYTE*>(blob.data()),
                        static_cast<DWORD>(blob.size()), 0, CRYPT_IPSEC_HMAC_KEY, &m_state->key))
    throw std::runtime_error("the HMAC key cannot be imported");
}

HmacSha256::~HmacSha256() = default;

std::string HmacSha256::Of(const std::string& message) const {
  Hash hash(m_state->provider.get(), CALG_HMAC, m_state->key);
  HMAC_INFO info = {};
  info.HashAlgid = CALG_SHA_256;
  if (!::CryptSetHashParam(hash.get(), HP_HMAC_INFO, reinterpret_cast<const BYTE*>(&info), 0))
    throw std::runtime_error("HMAC-SHA-256 is not available");
  hash.Add(message.data(), message.size());
  return hash.Value();
}

bool RandomBytes(std::size_t count, std::string& bytes) {
  bytes.assign(count, '\0');
  try {
    Provider provider;
    return ::CryptGenRandom(provider.get(), static_cast<DWORD>(count), reinterpret_cast<BYTE*>(&bytes[0])) != 0;
  } catch (const std::runtime_error&) {
    return false;
  }
}

}  // namespace quarn_tools
