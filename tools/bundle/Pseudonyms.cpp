#include "bundle/Pseudonyms.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "config/AddressRules.h"
#include "hwinfo/SmbiosParsing.h"
#include "report/Utf8Text.h"

namespace quarn_tools {
namespace {

// The classes of characters a pseudonym keeps, each with its radix.
enum class Class {
  kHexLower,
  kHexUpper,
  kLower,
  kUpper,
  kDigit,
  kLead,
  kHighTrail,
  kSingle,
  kUtf8C1,
  kUtf8Two,
  kUtf8Three,
  kUtf8Four,
  kNeverValid,
  kStray
};

const std::size_t kUnitsInBlock = 32;
const int kMostSteps = 4096;

// UTF-8 bytes that begin and continue nothing: C0, C1, F5 to FF.
unsigned char NeverValid(std::uint32_t digit) {
  return static_cast<unsigned char>(digit < 2 ? 0xC0 + digit : 0xF3 + digit);
}

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

struct Pseudonyms::Unit {
  std::size_t at, length;
  Class kind;
  std::uint32_t radix, digit;
};

Pseudonyms::Pseudonyms(const std::string& key, const PathStyleRecord& style)
    : m_mac(key), m_permutation(m_mac), m_style(style) {
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

// The characters of `text` that a pseudonym changes, each with its class
// and its value in it; the others stay as they are.
std::vector<Pseudonyms::Unit> Pseudonyms::UnitsOf(const std::string& text, bool hex) const {
  std::vector<Unit> units;
  bool afterBrokenLead = false;
  for (std::size_t at = 0; at < text.size();) {
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    const bool brokenLead = afterBrokenLead;
    afterBrokenLead = false;
    const bool upper = byte >= 'A' && byte <= 'F';
    if (hex && std::isxdigit(byte)) {
      units.push_back({at++, 1, upper ? Class::kHexUpper : Class::kHexLower, 16,
                       static_cast<std::uint32_t>(std::isdigit(byte) ? byte - '0' : (byte | 0x20) - 'a' + 10)});
      continue;
    }
    if (byte >= 'a' && byte <= 'z')
      units.push_back({at, 1, Class::kLower, 26, static_cast<std::uint32_t>(byte - 'a')});
    else if (byte >= 'A' && byte <= 'Z')
      units.push_back({at, 1, Class::kUpper, 26, static_cast<std::uint32_t>(byte - 'A')});
    else if (byte >= '0' && byte <= '9')
      units.push_back({at, 1, Class::kDigit, 10, static_cast<std::uint32_t>(byte - '0')});
    if (byte < 0x80) {
      ++at;
      continue;
    }
    if (m_style.windows) {
      const auto single = std::find(m_singles.begin(), m_singles.end(), byte);
      if (m_lead[byte] && at + 1 < text.size()) {
        const auto lead = std::find(m_leads.begin(), m_leads.end(), byte);
        units.push_back({at, 1, Class::kLead, static_cast<std::uint32_t>(m_leads.size()),
                         static_cast<std::uint32_t>(lead - m_leads.begin())});
        const unsigned char trail = static_cast<unsigned char>(text[++at]);
        if (trail >= 0x80 && trail < 0xFF) {
          units.push_back({at, 1, Class::kHighTrail, 0x7F, static_cast<std::uint32_t>(trail - 0x80)});
          ++at;
        }  // an ASCII trail byte is the next character's to class
      } else {
        if (single != m_singles.end())
          units.push_back({at, 1, Class::kSingle, static_cast<std::uint32_t>(m_singles.size()),
                           static_cast<std::uint32_t>(single - m_singles.begin())});
        ++at;
      }
      continue;
    }
    const std::size_t length = Utf8SequenceLength(text, at);
    if (length == 0) {
      // A byte of no character: one that never is, or a stray continuation
      // byte, changes within its kind; a lead byte that lacks its
      // continuation, and the byte after it, stay, lest a character form.
      if (byte == 0xC0 || byte == 0xC1 || byte >= 0xF5)
        units.push_back(
            {at, 1, Class::kNeverValid, 13, static_cast<std::uint32_t>(byte < 0xC2 ? byte - 0xC0 : byte - 0xF3)});
      else if (byte < 0xC0 && !brokenLead)
        units.push_back({at, 1, Class::kStray, 64, static_cast<std::uint32_t>(byte - 0x80)});
      afterBrokenLead = byte >= 0xC2 && byte <= 0xF4;
      ++at;
      continue;
    }
    const std::uint32_t point = CodePoint(text, at, length);
    if (length == 2 && point < 0xA0)
      units.push_back({at, 2, Class::kUtf8C1, 0x20, point - 0x80});
    else if (length == 2)
      units.push_back({at, 2, Class::kUtf8Two, 0x760, point - 0xA0});
    else if (length == 3)
      units.push_back({at, 3, Class::kUtf8Three, 0xF000, point < 0xD800 ? point - 0x800 : point - 0x1000});
    else
      units.push_back({at, 4, Class::kUtf8Four, 0x100000, point - 0x10000});
    at += length;
  }
  return units;
}

std::string Pseudonyms::Reshaped(const std::string& text, const Avoid& avoid) const {
  return Permuted(text, UnitsOf(text, false), avoid);
}

std::string Pseudonyms::HexReshaped(const std::string& text) const {
  return Permuted(text, UnitsOf(text, true), Avoid());
}

std::string Pseudonyms::Permuted(const std::string& text, std::vector<Unit> units, const Avoid& avoid) const {
  std::string out = text;
  const auto write = [&](const Unit& unit) {
    const std::uint32_t d = unit.digit;
    switch (unit.kind) {
      case Class::kHexLower:
        out[unit.at] = "0123456789abcdef"[d];
        break;
      case Class::kHexUpper:
        out[unit.at] = "0123456789ABCDEF"[d];
        break;
      case Class::kLower:
        out[unit.at] = static_cast<char>('a' + d);
        break;
      case Class::kUpper:
        out[unit.at] = static_cast<char>('A' + d);
        break;
      case Class::kDigit:
        out[unit.at] = static_cast<char>('0' + d);
        break;
      case Class::kLead:
        out[unit.at] = static_cast<char>(m_leads[d]);
        break;
      case Class::kHighTrail:
        out[unit.at] = static_cast<char>(0x80 + d);
        break;
      case Class::kSingle:
        out[unit.at] = static_cast<char>(m_singles[d]);
        break;
      case Class::kNeverValid:
        out[unit.at] = static_cast<char>(NeverValid(d));
        break;
      case Class::kStray:
        out[unit.at] = static_cast<char>(0x80 + d);
        break;
      case Class::kUtf8C1:
        out.replace(unit.at, 2, Utf8Of(0x80 + d));
        break;
      case Class::kUtf8Two:
        out.replace(unit.at, 2, Utf8Of(0xA0 + d));
        break;
      case Class::kUtf8Three:
        out.replace(unit.at, 3, Utf8Of(d < 0xD000 ? d + 0x800 : d + 0x1000));
        break;
      case Class::kUtf8Four:
        out.replace(unit.at, 4, Utf8Of(0x10000 + d));
        break;
    }
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
