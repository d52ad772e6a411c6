// Keyed pseudonyms for what a redacted bundle must not carry. Each is made
// from HMAC-SHA-256 under the redaction key, of the value and of what kind
// of value it is: the same value gives the same pseudonym within a bundle
// and in every bundle made with the same key, so support can still see that
// two machines share a value without seeing it; without the key, a
// pseudonym says nothing of its value.
#ifndef QUARN_TOOLS_BUNDLE_PSEUDONYMS_H
#define QUARN_TOOLS_BUNDLE_PSEUDONYMS_H

#include <cstddef>
#include <string>
#include <vector>

#include "bundle/Crypto.h"
#include "bundle/MachineRecord.h"

namespace quarn_tools {

class Pseudonyms {
 public:
  // `key`: the redaction key's bytes; `style`: how the recorded machine
  // writes its texts (its code page's lead bytes, or UTF-8).
  Pseudonyms(const std::string& key, const PathStyleRecord& style);

  // `count` bytes that only the key, `kind` and `value` decide.
  std::string Stream(const char* kind, const std::string& value, std::size_t count) const;

  // A text of the same length whose every byte keeps its class: a letter
  // stays a letter of its case, a digit a digit, other ASCII stays as it is;
  // beyond ASCII, a character stays a character of as many bytes in the
  // recorded encoding (a lead byte a lead byte, a trail byte that is ASCII
  // keeps its class), so path rules and readers divide it as they did.
  std::string Reshaped(const char* kind, const std::string& text) const;

  // An IPv4 address of the same class for the identity walk: unusable stays
  // unusable, a private one keeps the prefix that made it private, a "172."
  // fallback stays one, any other stays neither. Loopback and the broadcast
  // address identify nothing and stay.
  std::string Address(const std::string& address) const;

  // A machine name: "host-" and twelve hexadecimal digits.
  std::string MachineName(const std::string& name) const;

  // 16 UUID bytes in place, none of the placeholder values.
  void Uuid(unsigned char uuid[16]) const;

  // A text of as many upper-case letters and digits, for a string of the
  // SMBIOS table.
  std::string TableString(const std::string& text) const;

  // The table checksum as the report writes it ("0x" and hexadecimal).
  std::string Checksum(const std::string& text) const;

 private:
  HmacSha256 m_mac;
  PathStyleRecord m_style;
  bool m_lead[256] = {};
  std::vector<unsigned char> m_leads, m_singles;
};

}  // namespace quarn_tools

#endif
