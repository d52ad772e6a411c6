#include "report/Utf8Text.h"

#include <nlohmann/json.hpp>

#include "util/StringUtil.h"

namespace quarn_tools {
std::size_t Utf8SequenceLength(const std::string& text, std::size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return 1;
  size_t length;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong form
    if (lead == 0xED) high = 0x9F;  // no surrogate
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // no overlong form
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[at + i]);
    if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF)) return 0;
  }
  return length;
}

bool IsValidUtf8(const std::string& text) {
  for (size_t at = 0; at < text.size();) {
    const size_t length = Utf8SequenceLength(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::string ReplaceInvalidUtf8(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const size_t length = Utf8SequenceLength(text, at);
    if (length == 0) {
      result += "\xEF\xBF\xBD";
      ++at;
    } else {
      result.append(text, at, length);
      at += length;
    }
  }
  return result;
}

std::string PointerStep(const std::string& key) { return (nlohmann::json::json_pointer() / key).to_string().substr(1); }

void AppendHexByte(std::string& out, unsigned char byte) {
  static const char kDigits[] = "0123456789abcdef";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0xF];
}

std::string HexBytes(const std::string& text) {
  std::string hex;
  hex.reserve(text.size() * 2);
  for (unsigned char c : text) AppendHexByte(hex, c);
  return hex;
}

std::string AsciiLower(std::string text) {
  kqt::CStringUtil::stringToLower(text);
  return text;
}

std::string JsonTextOf(const std::string& systemText) {
  const std::string utf8 = Utf8FromSystemText(systemText);
  return IsValidUtf8(utf8) ? utf8 : ReplaceInvalidUtf8(utf8);
}

void AppendJsonString(std::string& out, const std::string& text) {
  if (!IsValidUtf8(text)) {
    out += nlohmann::json(text).dump();
    return;
  }
  out += '"';
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && c != '"' && c != '\\') {
      out += c;
      continue;
    }
    out += '\\';
    switch (c) {
      case '"':
      case '\\':
        out += c;
        break;
      case '\b':
        out += 'b';
        break;
      case '\f':
        out += 'f';
        break;
      case '\n':
        out += 'n';
        break;
      case '\r':
        out += 'r';
        break;
      case '\t':
        out += 't';
        break;
      default:
        out += "u00";
        AppendHexByte(out, byte);
    }
  }
  out += '"';
}

}  // namespace quarn_tools
