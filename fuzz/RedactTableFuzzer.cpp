// The redaction of a table on any bytes. The library's walk of the redacted
// table reaches the same structures at the same places with as many strings
// of the same lengths; every identifying string it reads there (a filler
// aside) and the UUID it reads (a placeholder aside) are others; every other
// byte of a formatted area is as it was.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bundle/Pseudonyms.h"
#include "bundle/RedactTable.h"
#include "hwinfo/SmbiosParsing.h"

namespace {

struct Structure {
  std::size_t at;
  std::vector<std::string> strings;
};

// The structures the library's walk reaches, with the strings it reads.
std::vector<Structure> Walk(const std::vector<unsigned char>& table) {
  std::vector<Structure> walk;
  const unsigned char* end = table.data() + table.size();
  for (std::size_t at = 0; at + 1 < table.size();) {
    Structure structure{at, {}};
    for (const unsigned char* text = table.data() + at + table[at + 1]; text < end && *text != 0;) {
      const void* zero = std::memchr(text, 0, static_cast<std::size_t>(end - text));
      if (!zero) break;
      structure.strings.emplace_back(reinterpret_cast<const char*>(text),
                                     static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - text));
      text = static_cast<const unsigned char*>(zero) + 1;
    }
    walk.push_back(structure);
    at = quarn::smbios::StructureEnd(table.data(), table.size(), at);
    if (at == 0) break;
  }
  return walk;
}

// Whether the byte at `offset` of the structure at `at` may change: the
// UUID of a system structure, the battery's SBDS serial number.
bool MayChange(const std::vector<unsigned char>& table, std::size_t at, std::size_t offset) {
  const unsigned char type = table[at], length = table[at + 1];
  if (type == 1 && length >= 24 && offset >= 8 && offset < 24) return true;
  return type == 22 && length >= 0x12 && (offset == 0x10 || offset == 0x11);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const quarn_tools::Pseudonyms pseudonyms(std::string(32, 'k'), quarn_tools::PathStyleRecord{false, ""});
  const std::vector<unsigned char> before(data, data + size);
  std::vector<unsigned char> after = before;
  quarn_tools::RedactTable(after.data(), after.size(), pseudonyms);

  const std::vector<Structure> walk = Walk(before), again = Walk(after);
  if (walk.size() != again.size()) __builtin_trap();
  for (std::size_t i = 0; i < walk.size(); ++i) {
    const Structure &was = walk[i], &is = again[i];
    if (was.at != is.at || was.strings.size() != is.strings.size()) __builtin_trap();
    for (std::size_t s = 0; s < was.strings.size(); ++s)
      if (was.strings[s].size() != is.strings[s].size()) __builtin_trap();
    const std::size_t formattedEnd = std::min(before.size(), was.at + before[was.at + 1]);
    for (std::size_t offset = 0; was.at + offset < formattedEnd; ++offset)
      if (before[was.at + offset] != after[was.at + offset] && !MayChange(before, was.at, offset)) __builtin_trap();

    const unsigned char type = before[was.at], length = before[was.at + 1];
    std::vector<unsigned char> numbers;
    if (quarn_tools::EveryStringIdentifies(type))
      for (std::size_t s = 1; s <= was.strings.size() && s < 256; ++s) numbers.push_back(static_cast<unsigned char>(s));
    for (const quarn_tools::IdentifyingField& field : quarn_tools::IdentifyingFields())
      if (field.type == type && field.offset < length && was.at + field.offset < before.size())
        numbers.push_back(before[was.at + field.offset]);
    for (unsigned char number : numbers) {
      if (number == 0 || number > was.strings.size()) continue;
      const std::string& text = was.strings[number - 1u];
      if (!quarn_tools::IsFillerString(text) && is.strings[number - 1u] == text) __builtin_trap();
    }
  }
  // The UUID the library reads is not the machine's.
  unsigned char uuid[16], redacted[16];
  if (quarn::smbios::TableUuidBytes(before.data(), before.size(), uuid) && !quarn::smbios::UuidPlaceholder(uuid)) {
    if (!quarn::smbios::TableUuidBytes(after.data(), after.size(), redacted)) __builtin_trap();
    if (std::memcmp(uuid, redacted, 16) == 0) __builtin_trap();
  }
  return 0;
}
