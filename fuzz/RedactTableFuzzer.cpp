// The redaction of a table on any bytes, against its allow-list. The
// library's walk of the redacted table reaches the same structures at the
// same places, with strings at the same places and of the same lengths;
// the kept strings and their numbers are as they were; and no other byte
// survives: the same table with every byte off the list changed (a zero
// kept a zero, so the walk is the same) redacts to the same bytes, but for
// the UUID's pseudonym and the placeholders of the strings replaced, which
// are others than the texts they replace.
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

// What each byte is: 0 off the list, 1 on it (kept as it is), 2 a UUID's,
// 3 a string's that is replaced.
enum Role : unsigned char { kOff, kKept, kUuid, kReplaced };

struct Walked {
  std::size_t at;
  std::vector<std::pair<std::size_t, std::size_t>> strings;  // [from, to)
};

std::vector<Walked> Walk(const std::vector<unsigned char>& table) {
  std::vector<Walked> walk;
  for (std::size_t at = 0; at + 1 < table.size();) {
    const std::size_t end = quarn::smbios::StructureEnd(table.data(), table.size(), at);
    Walked structure{at, {}};
    for (std::size_t p = std::min(table.size(), at + table[at + 1]), to = end ? end - 2 : table.size(); p < to;) {
      if (table[p] == 0) {
        ++p;
        continue;
      }
      const std::size_t from = p;
      while (p < to && table[p] != 0) ++p;
      structure.strings.emplace_back(from, p);
    }
    walk.push_back(structure);
    if (end == 0) break;
    at = end;
  }
  return walk;
}

bool KeptField(unsigned char type, std::size_t offset) {
  for (const quarn_tools::KeptTableString& kept : quarn_tools::KeptTableStrings())
    if (kept.type == type && kept.offset == offset) return true;
  return false;
}

std::vector<Role> Roles(const std::vector<unsigned char>& table, const std::vector<Walked>& walk) {
  std::vector<Role> roles(table.size(), kOff);
  std::size_t covered = 0;  // the end of the last structure walked
  for (const Walked& s : walk) {
    const std::size_t structureEnd = quarn::smbios::StructureEnd(table.data(), table.size(), s.at);
    covered = structureEnd ? structureEnd : table.size();
    const std::size_t formatted = table[s.at + 1], end = std::min(table.size(), s.at + formatted);
    roles[s.at] = roles[s.at + 1] = kKept;
    for (std::size_t p = s.at + 2; p < end && p < s.at + 4; ++p) roles[p] = kKept;  // the handle
    std::vector<bool> keptString(s.strings.size());
    for (std::size_t p = s.at + 4; p < end; ++p) {
      const unsigned char number = table[p];
      if (!KeptField(table[s.at], p - s.at) || number == 0 || number > s.strings.size()) continue;
      roles[p] = kKept;
      keptString[number - 1u] = true;
    }
    if (table[s.at] == 1 && formatted >= 24 && s.at + 24 <= table.size())
      for (std::size_t p = s.at + 8; p < s.at + 24; ++p) roles[p] = kUuid;
    for (std::size_t i = 0; i < s.strings.size(); ++i)
      for (std::size_t p = std::max(s.strings[i].first, s.at + 2); p < s.strings[i].second; ++p)
        roles[p] = keptString[i] ? kKept : kReplaced;
  }
  if (covered + 1 == table.size()) roles.back() = kKept;  // a last byte alone, which the walk reads as a type
  return roles;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const quarn_tools::Pseudonyms pseudonyms(std::string(32, 'k'), quarn_tools::PathStyleRecord{false, ""});
  const std::vector<unsigned char> before(data, data + size);
  const std::vector<Walked> walk = Walk(before);
  const std::vector<Role> roles = Roles(before, walk);
  std::vector<unsigned char> after = before;
  quarn_tools::TableRedaction done;
  quarn_tools::RedactTable(after.data(), after.size(), pseudonyms, done);

  const std::vector<Walked> again = Walk(after);
  if (again.size() != walk.size()) __builtin_trap();
  for (std::size_t i = 0; i < walk.size(); ++i)
    if (again[i].at != walk[i].at || again[i].strings != walk[i].strings) __builtin_trap();
  for (std::size_t p = 0; p < size; ++p) {
    if (roles[p] == kKept && after[p] != before[p]) __builtin_trap();
    if (roles[p] == kOff && after[p] != 0) __builtin_trap();
    if (roles[p] == kReplaced && !((after[p] >= 'A' && after[p] <= 'Z') || (after[p] >= '0' && after[p] <= '9')))
      __builtin_trap();
  }
  for (const Walked& s : walk)
    for (const auto& string : s.strings) {
      const std::size_t from = std::max(string.first, s.at + 2);
      if (from < string.second && roles[from] == kReplaced &&
          std::equal(before.begin() + from, before.begin() + string.second, after.begin() + from))
        __builtin_trap();
    }
  // The UUID the library reads is another, unless it is a placeholder.
  unsigned char uuid[16], redacted[16];
  if (quarn::smbios::TableUuidBytes(before.data(), before.size(), uuid) && !quarn::smbios::UuidPlaceholder(uuid)) {
    if (!quarn::smbios::TableUuidBytes(after.data(), after.size(), redacted)) __builtin_trap();
    if (std::memcmp(uuid, redacted, 16) == 0) __builtin_trap();
  }

  // Every byte off the list changed, the zeros kept: the same redaction.
  std::vector<unsigned char> changed = before;
  for (std::size_t p = 0; p < size; ++p)
    if (roles[p] == kOff && changed[p] != 0) changed[p] = static_cast<unsigned char>(changed[p] == 0xFF ? 0xFE : 0xFF);
  if (Roles(changed, Walk(changed)) != roles) return 0;  // a number that pointed nowhere now points: another list
  quarn_tools::TableRedaction doneAgain;
  quarn_tools::RedactTable(changed.data(), changed.size(), pseudonyms, doneAgain);
  for (std::size_t p = 0; p < size; ++p)
    if (roles[p] != kUuid && changed[p] != after[p]) __builtin_trap();
  return 0;
}
