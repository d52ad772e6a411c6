#include "report/Terminal.h"

#include <cstdio>

#include "report/Utf8Text.h"

namespace quarn_tools {
namespace {

void AppendEscape(std::string& out, unsigned char byte) {
  out += "\\x";
  AppendHexByte(out, byte);
}

}  // namespace

void AppendPrintable(std::string& out, const std::string& text, bool keepLineEnds) {
  const bool utf8 = SystemTextIsUtf8();
  std::size_t plain = 0;  // the bytes from here to `at` are appended as they are
  for (std::size_t at = 0; at < text.size();) {
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    std::size_t escaped = 1;  // bytes to escape from `at`
    if ((byte >= 0x20 && byte < 0x7F) || (byte == '\n' && keepLineEnds)) {
      ++at;
      continue;
    }
    if (byte >= 0x80) {
      // In an ANSI code page these bytes are characters, or lead bytes.
      if (!utf8) {
        ++at;
        continue;
      }
      // UTF-8: a well-formed character passes but C1 (U+0080 to U+009F),
      // escaped whole; every byte of what is not well-formed is escaped, as
      // a terminal's own decoder may take an overlong form or a lone byte
      // for a control.
      const std::size_t length = Utf8SequenceLength(text, at);
      const bool c1 = byte == 0xC2 && length == 2 && static_cast<unsigned char>(text[at + 1]) <= 0x9F;
      if (length > 1 && !c1) {
        at += length;
        continue;
      }
      if (c1) escaped = 2;
    }
    out.append(text, plain, at - plain);
    for (std::size_t i = 0; i < escaped; ++i) AppendEscape(out, static_cast<unsigned char>(text[at + i]));
    plain = at += escaped;
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
    AppendHexByte(out, code);
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
