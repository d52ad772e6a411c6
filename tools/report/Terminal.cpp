#include "report/Terminal.h"

#include <cstdio>

namespace quarn_tools {
namespace {

const char kHex[] = "0123456789abcdef";

void AppendEscape(std::string& out, unsigned char byte) {
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 0xF];
}

// The length of a well-formed UTF-8 sequence at `at` that is not C1 (0 for
// none): its bytes pass as they are.
std::size_t Utf8Sequence(const std::string& text, std::size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead <= 0xDF ? 2 : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i)
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
  if (lead == 0xC2 && static_cast<unsigned char>(text[at + 1]) <= 0x9F) return 0;  // U+0080 to U+009F: C1
  return length;
}

}  // namespace

void AppendPrintable(std::string& out, const std::string& text, bool keepLineEnds) {
  const bool utf8 = SystemTextIsUtf8();
  std::size_t plain = 0;  // the bytes from here to `at` are appended as they are
  for (std::size_t at = 0; at < text.size();) {
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    if ((byte >= 0x20 && byte < 0x7F) || (byte == '\n' && keepLineEnds)) {
      ++at;
      continue;
    }
    if (byte >= 0x80) {
      const std::size_t sequence = utf8 ? Utf8Sequence(text, at) : 1;
      if (sequence > 0) {
        at += sequence;
        continue;
      }
      // UTF-8: C1 written as two bytes is escaped whole; another byte that
      // begins no sequence is escaped where it would read as C1.
      if (byte == 0xC2 && at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) <= 0x9F) {
        out.append(text, plain, at - plain);
        AppendEscape(out, byte);
        AppendEscape(out, static_cast<unsigned char>(text[at + 1]));
        plain = at += 2;
        continue;
      }
      if (byte > 0x9F) {
        ++at;
        continue;
      }
    }
    out.append(text, plain, at - plain);
    AppendEscape(out, byte);
    plain = ++at;
  }
  out.append(text, plain, std::string::npos);
}

std::string Printable(const std::string& text) {
  std::string out;
  AppendPrintable(out, text);
  return out;
}

std::string TerminalSafeJson(std::string json) {
  // Outside its strings JSON text is ASCII without DEL: every such
  // character found is inside a string, where \u is its escape.
  std::string out;
  std::size_t plain = 0;
  for (std::size_t at = 0; at < json.size(); ++at) {
    const unsigned char byte = static_cast<unsigned char>(json[at]);
    const bool c1 = byte == 0xC2 && at + 1 < json.size() && static_cast<unsigned char>(json[at + 1]) >= 0x80 &&
                    static_cast<unsigned char>(json[at + 1]) <= 0x9F;
    if (byte != 0x7F && !c1) continue;
    if (out.empty()) out.reserve(json.size() + 16);
    out.append(json, plain, at - plain);
    const unsigned char code = c1 ? static_cast<unsigned char>(json[at + 1]) : byte;
    out += "\\u00";
    out += kHex[code >> 4];
    out += kHex[code & 0xF];
    if (c1) ++at;
    plain = at + 1;
  }
  if (plain == 0) return json;
  out.append(json, plain, std::string::npos);
  return out;
}

void PrintError(const std::string& message) {
  std::string line = "quarncfg: ";
  AppendPrintable(line, message, true);
  line += '\n';
  std::fputs(line.c_str(), stderr);
}

}  // namespace quarn_tools
