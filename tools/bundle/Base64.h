// Base64 (RFC 4648, with padding): how a bundle carries bytes in JSON.
#ifndef QUARN_TOOLS_BUNDLE_BASE64_H
#define QUARN_TOOLS_BUNDLE_BASE64_H

#include <string>

namespace quarn_tools {

std::string Base64Encode(const std::string& bytes);

// The bytes of `text`, or false for anything but canonical base64 (the
// standard alphabet, padding to a multiple of four, no white space, no
// bits left over in the last character).
bool Base64Decode(const std::string& text, std::string& bytes);

}  // namespace quarn_tools

#endif
