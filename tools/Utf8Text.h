// Making any bytes fit for JSON: valid UTF-8 passes unchanged; every byte
// that does not begin a valid sequence becomes U+FFFD.
#ifndef QUARN_TOOLS_UTF8TEXT_H
#define QUARN_TOOLS_UTF8TEXT_H

#include <string>

namespace quarn_tools {

// True when `text` is valid UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(const std::string& text);

// `text` with each byte outside a valid sequence replaced by U+FFFD.
std::string ReplaceInvalidUtf8(const std::string& text);

// The bytes as lower-case hexadecimal, two digits each.
std::string HexBytes(const std::string& text);

}  // namespace quarn_tools

#endif
