// Small SMBIOS tables built byte by byte for the tests.
#ifndef QUARN_TESTS_HWINFO_SMBIOSTABLES_H
#define QUARN_TESTS_HWINFO_SMBIOSTABLES_H

#include <initializer_list>
#include <string>
#include <vector>

namespace quarn_test {

using Bytes = std::vector<unsigned char>;

// A structure: header (type, length, handle), the rest of the formatted
// area, then the strings, each ended by a zero, and the closing zero.
inline Bytes Structure(unsigned char type, const Bytes& formattedRest,
                       std::initializer_list<const char*> strings = {}) {
  Bytes bytes = {type, static_cast<unsigned char>(4 + formattedRest.size()), 0x34, 0x12};
  bytes.insert(bytes.end(), formattedRest.begin(), formattedRest.end());
  for (const char* text : strings) {
    bytes.insert(bytes.end(), text, text + std::string(text).size());
    bytes.push_back(0);
  }
  if (strings.size() == 0) bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

// The bytes 00 11 22 ... FF.
inline Bytes CountingUuid() {
  Bytes uuid;
  for (int i = 0; i < 16; ++i) uuid.push_back(static_cast<unsigned char>(i * 0x11));
  return uuid;
}

// A System Information structure (type 1, 27 bytes formatted) with `uuid`.
inline Bytes SystemInformation(const Bytes& uuid) {
  Bytes rest = {1, 2, 3, 4};  // manufacturer, product, version, serial (string numbers)
  rest.insert(rest.end(), uuid.begin(), uuid.end());
  rest.insert(rest.end(), {6, 5, 6});  // wake-up type, SKU, family
  return Structure(1, rest, {"Maker", "Product", "1.0", "SN"});
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

inline Bytes EndOfTable() { return Structure(127, {}); }

}  // namespace quarn_test

#endif
