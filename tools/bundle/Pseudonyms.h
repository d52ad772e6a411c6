// Keyed pseudonyms for what a redacted bundle must not carry, from
// HMAC-SHA-256 under the redaction key. A text's pseudonym is a keyed
// permutation of its shape (bundle/ShapePermutation.h): a text of the same
// length whose every character keeps its class, never the text itself, and
// two texts never share one; the same value gives the same pseudonym in
// every bundle made with the same key, so support can still see that two
// machines share a value without seeing it.
#ifndef QUARN_TOOLS_BUNDLE_PSEUDONYMS_H
#define QUARN_TOOLS_BUNDLE_PSEUDONYMS_H

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "bundle/Crypto.h"
#include "bundle/MachineRecord.h"
#include "bundle/ShapePermutation.h"

namespace quarn_tools {

class Pseudonyms {
 public:
  // `key`: the redaction key's bytes; `style`: how the recorded machine
  // writes its texts (its code page's lead bytes, or UTF-8).
  Pseudonyms(const std::string& key, const PathStyleRecord& style);

  // A text the pseudonym must not be (a known key, a default server).
  using Avoid = std::function<bool(const std::string&)>;

  // The text's pseudonym of its shape: a letter stays a letter of its case,
  // a digit a digit, other ASCII stays as it is; beyond ASCII, a character
  // stays a character of as many bytes in the recorded encoding (a lead
  // byte a lead byte, a trail byte that is ASCII keeps its class), so path
  // rules and readers divide it as they did. A text of nothing but kept
  // characters stays. Where `avoid` refuses the pseudonym, the next one of
  // the cycle is taken.
  std::string Reshaped(const std::string& text, const Avoid& avoid = Avoid()) const;
  // The same, but hexadecimal digits stay hexadecimal digits (an IPv6
  // literal stays one).
  std::string HexReshaped(const std::string& text) const;

  // An IPv4 address of the same class for the identity walk: unusable stays
  // unusable, a private one keeps the prefix that made it private, a "172."
  // fallback stays one, any other stays neither. Loopback and the broadcast
  // address identify nothing and stay.
  std::string Address(const std::string& address) const;

  // A machine name: "host-" and twelve hexadecimal digits.
  std::string MachineName(const std::string& name) const;

  // 16 UUID bytes in place, none of the placeholder values.
  void Uuid(unsigned char uuid[16]) const;

  // A placeholder of as many upper-case letters and digits, never the text,
  // for a string of the SMBIOS table.
  std::string TableString(const std::string& text) const;

  // 16 hexadecimal digits that name the key and nothing else.
  std::string KeyId() const;

 private:
  struct Unit;
  std::vector<Unit> UnitsOf(const std::string& text, bool hex) const;
  std::string Permuted(const std::string& text, std::vector<Unit> units, const Avoid& avoid) const;
  std::string Code(const char* kind, const std::string& value, std::size_t count) const;
  HmacSha256 m_mac;
  ShapePermutation m_permutation;
  PathStyleRecord m_style;
  enum Alphabet { kLower, kUpper, kDigit, kHexLower, kHexUpper, kLead, kTrail, kSingle, kNeverValid, kStray, kCount };
  std::vector<unsigned char> m_alphabet[kCount];
  mutable std::map<std::string, std::string> m_made;
};

}  // namespace quarn_tools

#endif
