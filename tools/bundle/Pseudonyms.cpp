#include "bundle/Pseudonyms.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "config/AddressRules.h"
#include "hwinfo/SmbiosParsing.h"

namespace quarn_tools {
namespace {

// An ASCII byte of its own class: letters and digits change within their
// class, every other byte stays (separators, dots, spaces, quotes).
char AsciiOfClass(unsigned char byte, unsigned char random) {
  if (byte >= 'a' && byte <= 'z') return static_cast<char>('a' + random % 26);
  if (byte >= 'A' && byte <= 'Z') return static_cast<char>('A' + random % 26);
  if (byte >= '0' && byte <= '9') return static_cast<char>('0' + random % 10);
  return static_cast<char>(byte);
}

// The length of the well-formed UTF-8 sequence at `at`, 0 for none.
std::size_t Utf8Length(const std::string& text, std::size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                                                            : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i)
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
  const unsigned char second = static_cast<unsigned char>(text[at + 1]);
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
      (lead == 0xF4 && second > 0x8F))
    return 0;  // overlong, a surrogate, or beyond U+10FFFF
  return length;
}

std::string Octet(unsigned char random, unsigned lowest = 0, unsigned span = 256) {
  return std::to_string(lowest + random % span);
}

}  // namespace

Pseudonyms::Pseudonyms(const std::string& key, const PathStyleRecord& style) : m_mac(key), m_style(style) {
  for (char byte : style.leadBytes) m_lead[static_cast<unsigned char>(byte)] = style.windows;
  for (unsigned byte = 0x80; byte <= 0xFF; ++byte)
    if (m_lead[byte]) m_leads.push_back(static_cast<unsigned char>(byte));
  // A single byte beyond ASCII stays one: the letters of the Windows code
  // pages (0xC0 to 0xFF) where they are no lead bytes, else the katakana of
  // code page 932 (0xA1 to 0xDF).
  for (unsigned low : {0xC0u, 0xA1u}) {
    for (unsigned byte = low; byte <= (low == 0xC0 ? 0xFFu : 0xDFu); ++byte)
      if (!m_lead[byte]) m_singles.push_back(static_cast<unsigned char>(byte));
    if (!m_singles.empty()) break;
  }
}

std::string Pseudonyms::Stream(const char* kind, const std::string& value, std::size_t count) const {
  std::string stream;
  const std::string message = std::string(kind) + '\0' + value;
  for (unsigned block = 0; stream.size() < count; ++block) {
    char counter[4] = {static_cast<char>(block >> 24), static_cast<char>(block >> 16), static_cast<char>(block >> 8),
                       static_cast<char>(block)};
    stream += m_mac.Of(message + std::string(counter, 4));
  }
  stream.resize(count);
  return stream;
}

std::string Pseudonyms::Reshaped(const char* kind, const std::string& text) const {
  const std::string stream = Stream(kind, text, text.size());
  const auto random = [&stream](std::size_t at) { return static_cast<unsigned char>(stream[at]); };
  std::string out = text;
  for (std::size_t at = 0; at < text.size();) {
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
      out[at] = AsciiOfClass(byte, random(at));
      ++at;
    } else if (m_style.windows && m_lead[byte] && at + 1 < text.size()) {
      // A double-byte character: a lead byte, and a trail byte of its class
      // (0xA1 to 0xBE is a trail byte in every double-byte code page).
      out[at] = static_cast<char>(m_leads[random(at) % m_leads.size()]);
      const unsigned char trail = static_cast<unsigned char>(text[at + 1]);
      out[at + 1] = trail < 0x80 ? AsciiOfClass(trail, random(at + 1)) : static_cast<char>(0xA1 + random(at + 1) % 30);
      at += 2;
    } else if (m_style.windows) {
      if (!m_singles.empty()) out[at] = static_cast<char>(m_singles[random(at) % m_singles.size()]);
      ++at;
    } else {
      // UTF-8: a character of as many bytes (U+00D0..U+00FF, U+4400.., or
      // U+10000..), or a byte that is none, as one.
      const std::size_t length = Utf8Length(text, at);
      if (length == 0) {
        out[at++] = static_cast<char>(0xFF);
        continue;
      }
      out[at] = static_cast<char>(length == 2 ? 0xC3 : length == 3 ? 0xE4 : 0xF0);
      for (std::size_t i = 1; i < length; ++i) out[at + i] = static_cast<char>(0x90 + random(at + i) % 48);
      at += length;
    }
  }
  return out;
}

std::string Pseudonyms::Address(const std::string& address) const {
  if (address == "127.0.0.1" || address == "255.255.255.255" || address.compare(0, 4, "127.") == 0) return address;
  const quarn::IdentityExplanation alone = quarn::ExplainIdentityIp({address});
  const std::string r = Stream("address", address, 4);
  const auto at = [&r](int i) { return static_cast<unsigned char>(r[static_cast<std::size_t>(i)]); };
  const quarn::IdentityVerdict::Kind kind =
      alone.verdicts.empty() ? quarn::IdentityVerdict::kPublic : alone.verdicts.front().kind;
  switch (kind) {
    case quarn::IdentityVerdict::kUnusable:
      return "169.254." + Octet(at(0)) + "." + Octet(at(1));
    case quarn::IdentityVerdict::kPrivate: {
      std::string made = alone.verdicts.front().prefix;
      int dots = 0;
      for (char c : made) dots += c == '.';
      for (int i = dots; i < 4; ++i) made += (i == dots ? "" : ".") + Octet(at(i));
      return made;
    }
    case quarn::IdentityVerdict::kFallback172:  // outside 172.16 to 172.32
      return "172." + Octet(at(0), 33, 223) + "." + Octet(at(1)) + "." + Octet(at(2));
    default:  // 11 to 110: none of 10, 127, 169, 172, 192
      return Octet(at(0), 11, 100) + "." + Octet(at(1)) + "." + Octet(at(2)) + "." + Octet(at(3));
  }
}

std::string Pseudonyms::MachineName(const std::string& name) const {
  static const char kHex[] = "0123456789abcdef";
  std::string made = "host-";
  for (char byte : Stream("machine name", name, 6)) {
    made += kHex[static_cast<unsigned char>(byte) >> 4];
    made += kHex[byte & 0xF];
  }
  return made;
}

void Pseudonyms::Uuid(unsigned char uuid[16]) const {
  const std::string original(reinterpret_cast<const char*>(uuid), 16);
  const std::string made = Stream("uuid", original, 16);
  std::memcpy(uuid, made.data(), 16);
  if (quarn::smbios::UuidPlaceholder(uuid)) uuid[15] ^= 0x5A;  // no pseudonym may pass for a placeholder
}

std::string Pseudonyms::TableString(const std::string& text) const {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string made = Stream("table string", text, text.size());
  for (char& c : made) c = kAlphabet[static_cast<unsigned char>(c) % 36];
  // A short text may draw itself: never leave it as it was.
  if (!made.empty() && made == text) made[0] = kAlphabet[(std::strchr(kAlphabet, made[0]) - kAlphabet + 1) % 36];
  return made;
}

std::string Pseudonyms::Checksum(const std::string& text) const {
  const std::string r = Stream("table checksum", text, 4);
  unsigned value = 0;
  for (char byte : r) value = value << 8 | static_cast<unsigned char>(byte);
  char made[16];
  std::snprintf(made, sizeof made, "0x%X", value);
  return made;
}

}  // namespace quarn_tools
