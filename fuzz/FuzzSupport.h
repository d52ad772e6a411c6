// What the fuzz targets that drive the library's public operations share:
// a fresh configuration object on the fake machine, and the checks every
// BIOS UUID answer must pass.
#ifndef QUARN_FUZZ_FUZZSUPPORT_H
#define QUARN_FUZZ_FUZZSUPPORT_H

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/QuarnConfig.h"
#include "util/LogMessage.h"

namespace quarn_fuzz {

// A configuration object for one input, removed when the input is done
// (the BIOS UUID is kept once found, so every input needs its own object,
// and nothing outlives the input for the leak check to chase), with the
// logger quiet: a missing settings file or UUID is not news here.
class FreshConfig {
 public:
  FreshConfig() : m_config(CSingleton<CQuarnConfig>::NewInstance()) { kqt::CLogMessage::GetInstance()->SetLogLevel(0); }
  ~FreshConfig() { CSingleton<CQuarnConfig>::RemoveInstance(); }
  FreshConfig(const FreshConfig&) = delete;
  FreshConfig& operator=(const FreshConfig&) = delete;
  CQuarnConfig* operator->() const { return m_config; }
  CQuarnConfig& operator*() const { return *m_config; }

 private:
  CQuarnConfig* m_config;
};

inline int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// An answer of GetBiosUuid is empty or 36 lower-case characters in the
// 8-4-4-4-12 form, and the last eight of its bytes (which no byte order
// changes) were given by the firmware, not made up from padding: they occur
// in `delivered`, the bytes the fake machine handed out.
inline void CheckUuidAnswer(const std::string& uuid, const std::uint8_t* delivered, std::size_t size) {
  if (uuid.empty()) return;
  if (uuid.size() != 36) __builtin_trap();
  unsigned char tail[8];
  int nibbles = 0;
  for (std::size_t i = 0; i < uuid.size(); ++i) {
    const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash != (uuid[i] == '-')) __builtin_trap();
    if (dash) continue;
    const int digit = HexDigit(uuid[i]);
    if (digit < 0) __builtin_trap();
    if (i >= 19) {
      const int at = nibbles - 16;  // hex digits 16..31 are the last eight bytes
      if (at % 2 == 0)
        tail[at / 2] = static_cast<unsigned char>(digit << 4);
      else
        tail[at / 2] = static_cast<unsigned char>(tail[at / 2] | digit);
    }
    ++nibbles;
  }
  if (std::search(delivered, delivered + size, tail, tail + 8) == delivered + size) __builtin_trap();
}

}  // namespace quarn_fuzz

#endif
