// Small SMBIOS tables built byte by byte, for the tests, the benchmarks
// and the fake machines.
#ifndef QUARN_TESTS_SUPPORT_SMBIOSTABLES_H
#define QUARN_TESTS_SUPPORT_SMBIOSTABLES_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
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

// A Base Board structure (type 2) of 15 bytes, the filler of a table.
inline Bytes BaseBoard() { return Structure(2, {1, 2, 3, 4}, {"board"}); }

// A table of Base Board structures up to about `size` bytes, then a System
// Information structure with `uuid`, then the end: the UUID lies last.
inline Bytes TableOfSize(std::size_t size, const Bytes& uuid = CountingUuid()) {
  const Bytes system = SystemInformation(uuid), end = EndOfTable(), board = BaseBoard();
  Bytes table;
  while (table.size() + board.size() + system.size() + end.size() <= size)
    table.insert(table.end(), board.begin(), board.end());
  table.insert(table.end(), system.begin(), system.end());
  table.insert(table.end(), end.begin(), end.end());
  return table;
}

// A firmware block (RawSMBIOSData layout) holding `table`: calling method
// 0, the version, DMI revision 0, the length, then the table.
inline Bytes FirmwareBlockBytes(unsigned char major, unsigned char minor, const Bytes& table) {
  const std::uint32_t length = static_cast<std::uint32_t>(table.size());
  Bytes block(8 + table.size(), 0);
  block[1] = major;
  block[2] = minor;
  for (int i = 0; i < 4; ++i) block[4 + i] = static_cast<unsigned char>(length >> (8 * i));
  std::copy(table.begin(), table.end(), block.begin() + 8);
  return block;
}

// Writes a 31-byte "_SM_" entry point at `at` in `window`: a table of
// `length` bytes at physical `address`; its checksum is right unless
// `validSum` is false.
inline void PutEntryPoint(Bytes& window, size_t at, std::uint32_t address, std::uint16_t length, bool validSum = true) {
  unsigned char entry[31] = {'_', 'S', 'M', '_', 0, 31, 2, 4};
  entry[22] = static_cast<unsigned char>(length);
  entry[23] = static_cast<unsigned char>(length >> 8);
  for (int i = 0; i < 4; ++i) entry[24 + i] = static_cast<unsigned char>(address >> (8 * i));
  unsigned char sum = 0;
  for (unsigned char byte : entry) sum = static_cast<unsigned char>(sum + byte);
  entry[4] = static_cast<unsigned char>(0 - sum + (validSum ? 0 : 1));
  std::memcpy(window.data() + at, entry, sizeof entry);
}

}  // namespace quarn_test

#endif
