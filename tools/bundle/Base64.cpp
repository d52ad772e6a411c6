#include "bundle/Base64.h"

namespace quarn_tools {
namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int ValueOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::string Base64Encode(const std::string& bytes) {
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t at = 0;
  for (; at + 3 <= bytes.size(); at += 3) {
    const unsigned long group = static_cast<unsigned long>(static_cast<unsigned char>(bytes[at])) << 16 |
                                static_cast<unsigned long>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
                                static_cast<unsigned char>(bytes[at + 2]);
    for (int shift = 18; shift >= 0; shift -= 6) text += kAlphabet[(group >> shift) & 0x3F];
  }
  const std::size_t left = bytes.size() - at;
  if (left > 0) {
    unsigned long group = static_cast<unsigned long>(static_cast<unsigned char>(bytes[at])) << 16;
    if (left == 2) group |= static_cast<unsigned long>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    text += kAlphabet[(group >> 18) & 0x3F];
    text += kAlphabet[(group >> 12) & 0x3F];
    text += left == 2 ? kAlphabet[(group >> 6) & 0x3F] : '=';
    text += '=';
  }
  return text;
}

bool Base64Decode(const std::string& text, std::string& bytes) {
  bytes.clear();
  if (text.size() % 4 != 0) return false;
  bytes.reserve(text.size() / 4 * 3);
  for (std::size_t at = 0; at < text.size(); at += 4) {
    const bool last = at + 4 == text.size();
    int padding = 0;
    if (last && text[at + 3] == '=') padding = text[at + 2] == '=' ? 2 : 1;
    unsigned long group = 0;
    for (int i = 0; i < 4; ++i) {
      const int value = i >= 4 - padding ? 0 : ValueOf(text[at + static_cast<std::size_t>(i)]);
      if (value < 0) return false;
      group = group << 6 | static_cast<unsigned long>(value);
    }
    // Canonical only: the bits a padded group leaves over are zero.
    if ((padding == 1 && (group & 0xFF) != 0) || (padding == 2 && (group & 0xFFFF) != 0)) return false;
    bytes += static_cast<char>((group >> 16) & 0xFF);
    if (padding < 2) bytes += static_cast<char>((group >> 8) & 0xFF);
    if (padding < 1) bytes += static_cast<char>(group & 0xFF);
  }
  return true;
}

}  // namespace quarn_tools
