#include "bundle/Pseudonyms.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "config/AddressRules.h"
#include "hwinfo/SmbiosParsing.h"
#include "report/Utf8Text.h"

namespace quarn_tools {
namespace {

const std::size_t kUnitsInBlock = 32;
const int kMostSteps = 4096;

std::string Utf8Of(std::uint32_t point) {
  std::string out;
  if (point < 0x800) {
    out += static_cast<char>(0xC0 | point >> 6);
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | point >> 12);
    out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | point >> 18);
    out += static_cast<char>(0x80 | (point >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
  }
  out += static_cast<char>(0x80 | (point & 0x3F));
  return out;
}

std::uint32_t CodePoint(const std::string& text, std::size_t at, std::size_t length) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  std::uint32_t point = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
  for (std::size_t i = 1; i < length; ++i) point = point << 6 | (static_cast<unsigned char>(text[at + i]) & 0x3F);
  return point;
}

bool ParseIpv4(const std::string& text, unsigned octets[4]) {
  int part = 0;
  std::size_t digits = 0;
  octets[0] = 0;
  for (char c : text) {
    if (c == '.' && digits > 0 && part < 3) {
      octets[++part] = 0;
      digits = 0;
    } else if (c >= '0' && c <= '9' && digits < 3) {
      octets[part] = octets[part] * 10 + static_cast<unsigned>(c - '0');
      ++digits;
    } else {
      return false;
    }
  }
  return part == 3 && digits > 0 && octets[0] <= 255 && octets[1] <= 255 && octets[2] <= 255 && octets[3] <= 255;
}

// What the identity walk sees in an address: its kind and, if private, the
// prefix that made it so; and how many octets must stay to keep it.
struct AddressClass {
  std::string name;
  std::size_t kept = 0;
};
AddressClass ClassOf(const std::string& address) {
  if (address.compare(0, 4, "127.") == 0 || address == "255.255.255.255") return {"kept", 4};
  const quarn::IdentityExplanation alone = quarn::ExplainIdentityIp({address});
  if (alone.verdicts.empty()) return {"public", 0};
  const quarn::IdentityVerdict& verdict = alone.verdicts.front();
  AddressClass made{std::to_string(static_cast<int>(verdict.kind)), 0};
  if (verdict.kind == quarn::IdentityVerdict::kPrivate && verdict.prefix) {
    made.name += verdict.prefix;
    for (const char* c = verdict.prefix; *c; ++c) made.kept += *c == '.';
  }
  if (verdict.kind == quarn::IdentityVerdict::kFallback172) made.kept = 1;
  if (verdict.kind == quarn::IdentityVerdict::kUnusable && address.compare(0, 8, "169.254.") == 0) made.kept = 2;
  return made;
}

}  // namespace

// A character a pseudonym changes: a byte of one of the alphabets, or a
// UTF-8 character of a range of code points (from `low`; three bytes skip
// the surrogates); `digit` is its place in its class of `radix`.
struct Pseudonyms::Unit {
  std::size_t at, length;
  const std::vector<unsigned char>* bytes;
  std::uint32_t low, radix, digit;
};

Pseudonyms::Pseudonyms(const std::string& key, const PathStyleRecord& style)
    : m_mac(key), m_permutation(m_mac), m_style(style) {
  bool lead[256] = {};
  for (char byte : style.leadBytes) lead[static_cast<unsigned char>(byte)] = style.windows;
  const auto range = [&](Alphabet alphabet, unsigned from, unsigned to, bool leads) {
    for (unsigned byte = from; byte <= to; ++byte)
      if (lead[byte] == leads) m_alphabet[alphabet].push_back(static_cast<unsigned char>(byte));
  };
  range(kLower, 'a', 'z', false);
  range(kUpper, 'A', 'Z', false);
  range(kDigit, '0', '9', false);
  range(kHexLower, '0', '9', false), range(kHexLower, 'a', 'f', false);
  range(kHexUpper, '0', '9', false), range(kHexUpper, 'A', 'F', false);
  range(kLead, 0x80, 0xFF, true);
  range(kTrail, 0x80, 0xFE, false), range(kTrail, 0x80, 0xFE, true);
  // A single byte beyond ASCII stays one: the letters of the Windows code
  // pages (0xC0 to 0xFF) where they are no lead bytes, else the katakana of
  // code page 932 (0xA1 to 0xDF).
  range(kSingle, 0xC0, 0xFF, false);
  if (m_alphabet[kSingle].empty()) range(kSingle, 0xA1, 0xDF, false);
  // UTF-8 bytes of no character: those that begin and continue nothing, and
  // stray continuation bytes.
  range(kNeverValid, 0xC0, 0xC1, false), range(kNeverValid, 0xF5, 0xFF, false);
  range(kStray, 0x80, 0xBF, false);
}

// The characters of `text` that a pseudonym changes, each with its class
// and its place in it; the others stay as they are.
std::vector<Pseudonyms::Unit> Pseudonyms::UnitsOf(const std::string& text, bool hex) const {
  std::vector<Unit> units;
  const auto add = [&](std::size_t at, Alphabet alphabet) {
    const std::vector<unsigned char>& bytes = m_alphabet[alphabet];
    const auto found = std::find(bytes.begin(), bytes.end(), static_cast<unsigned char>(text[at]));
    if (found != bytes.end())
      units.push_back({at, 1, &bytes, 0, static_cast<std::uint32_t>(bytes.size()),
                       static_cast<std::uint32_t>(found - bytes.begin())});
  };
  bool afterBrokenLead = false;
  for (std::size_t at = 0; at < text.size();) {
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    const bool brokenLead = afterBrokenLead;
    afterBrokenLead = false;
    if (byte < 0x80) {
      const bool upper = std::isupper(byte) != 0;
      add(at++, hex && std::isxdigit(byte) ? (upper ? kHexUpper : kHexLower)
                : std::isdigit(byte)       ? kDigit
                                           : (upper ? kUpper : kLower));
    } else if (m_style.windows && m_alphabet[kLead].size() && at + 1 < text.size() &&
               std::count(m_alphabet[kLead].begin(), m_alphabet[kLead].end(), byte)) {
      add(at++, kLead);  // an ASCII trail byte is the next character's to class
      if (static_cast<unsigned char>(text[at]) >= 0x80) add(at++, kTrail);
    } else if (m_style.windows) {
      add(at++, kSingle);
    } else if (const std::size_t length = Utf8SequenceLength(text, at)) {
      const std::uint32_t point = CodePoint(text, at, length);
      const std::uint32_t low = length == 2 ? (point < 0xA0 ? 0x80 : 0xA0) : length == 3 ? 0x800 : 0x10000;
      const std::uint32_t radix = length == 2 ? (low == 0x80 ? 0x20 : 0x760) : length == 3 ? 0xF000 : 0x100000;
      units.push_back({at, length, nullptr, low, radix, point - low - (length == 3 && point > 0xDFFF ? 0x800 : 0)});
      at += length;
    } else {
      // A lead byte that lacks its continuation, and the byte after it,
      // stay, lest a character form.
      if (!brokenLead) add(at, byte < 0xC0 ? kStray : kNeverValid);
      afterBrokenLead = byte >= 0xC2 && byte <= 0xF4;
      ++at;
    }
  }
  return units;
}

std::string Pseudonyms::Reshaped(const std::string& text, const Avoid& avoid) const {
  if (avoid) return Permuted(text, UnitsOf(text, false), avoid);
  const auto known = m_made.find(text);  // a word a file repeats is made once
  return known != m_made.end() ? known->second : m_made[text] = Permuted(text, UnitsOf(text, false), avoid);
}

std::string Pseudonyms::HexReshaped(const std::string& text) const {
  return Permuted(text, UnitsOf(text, true), Avoid());
}

std::string Pseudonyms::Permuted(const std::string& text, std::vector<Unit> units, const Avoid& avoid) const {
  std::string out = text;
  const auto write = [&out](const Unit& unit) {
    if (unit.bytes) {
      out[unit.at] = static_cast<char>((*unit.bytes)[unit.digit]);
      return;
    }
    const std::uint32_t point = unit.low + unit.digit;
    out.replace(unit.at, unit.length, Utf8Of(point + (unit.length == 3 && point >= 0xD800 ? 0x800 : 0)));
  };
  // Blocks of a few dozen characters, each its own permutation: the cost
  // stays linear in the text.
  for (std::size_t first = 0; first < units.size(); first += kUnitsInBlock) {
    const std::size_t last = std::min(units.size(), first + kUnitsInBlock);
    ShapePermutation::Digits radices, digits;
    for (std::size_t i = first; i < last; ++i) {
      radices.push_back(units[i].radix);
      digits.push_back(units[i].digit);
    }
    const std::string tweak = "text " + std::to_string(first / kUnitsInBlock);
    for (int step = 0; step < kMostSteps; ++step) {
      m_permutation.Next(tweak, radices, digits);
      for (std::size_t i = first; i < last; ++i) {
        units[i].digit = digits[i - first];
        write(units[i]);
      }
      if (!avoid || first > 0 || !avoid(out)) break;
    }
  }
  return out;
}

std::string Pseudonyms::Address(const std::string& address) const {
  unsigned octets[4];
  if (!ParseIpv4(address, octets)) return Reshaped(address);
  const AddressClass kind = ClassOf(address);
  if (kind.kept == 4) return address;
  // The octets a private prefix or a fallback's "172." gives stay; the
  // others go round their cycle until the address is of its class again.
  ShapePermutation::Digits radices(4 - kind.kept, 256), digits;
  for (std::size_t i = kind.kept; i < 4; ++i) digits.push_back(octets[i]);
  for (int step = 0; step < kMostSteps; ++step) {
    m_permutation.Next("address " + std::to_string(kind.kept), radices, digits);
    std::string made;
    for (std::size_t i = 0; i < 4; ++i)
      made += (i ? "." : "") + std::to_string(i < kind.kept ? octets[i] : digits[i - kind.kept]);
    if (ClassOf(made).name == kind.name) return made;
  }
  return "169.254.0.0";  // a class too small to walk: unusable, as few addresses are
}

std::string Pseudonyms::Code(const char* kind, const std::string& value, std::size_t count) const {
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

std::string Pseudonyms::MachineName(const std::string& name) const {
  return "host-" + HexBytes(Code("machine name", name, 6));
}

void Pseudonyms::Uuid(unsigned char uuid[16]) const {
  std::string value(reinterpret_cast<const char*>(uuid), 16);
  do value = Code("uuid", value, 16);  // no pseudonym may pass for a placeholder
  while (quarn::smbios::UuidPlaceholder(reinterpret_cast<const unsigned char*>(value.data())));
  std::memcpy(uuid, value.data(), 16);
}

std::string Pseudonyms::TableString(const std::string& text) const {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string made = Code("table string", text, text.size());
  for (char& c : made) c = kAlphabet[static_cast<unsigned char>(c) % 36];
  // A short text may draw itself: never leave it as it was.
  if (!made.empty() && made == text) made[0] = kAlphabet[(std::strchr(kAlphabet, made[0]) - kAlphabet + 1) % 36];
  return made;
}

std::string Pseudonyms::KeyId() const { return HexBytes(Code("key id", "quarncfg redaction key", 8)); }

}  // namespace quarn_tools
