#include "UuidForms.h"

#include <cctype>

#include "hwinfo/SmbiosParsing.h"

namespace quarn_tools {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// The 16 bytes of a UUID text as the library prints it (8-4-4-4-12
// hexadecimal digits), in the order the table stores them; false for
// another text.
bool StoredUuidBytes(const std::string& text, bool swapped, unsigned char bytes[16]) {
  static const std::size_t kDashes[4] = {8, 13, 18, 23};
  if (text.size() != 36) return false;
  for (std::size_t dash : kDashes)
    if (text[dash] != '-') return false;
  unsigned char printed[16];
  std::size_t at = 0;
  for (unsigned char& byte : printed) {
    if (text[at] == '-') ++at;
    const int high = HexDigit(text[at]), low = HexDigit(text[at + 1]);
    if (high < 0 || low < 0) return false;
    byte = static_cast<unsigned char>(high * 16 + low);
    at += 2;
  }
  static const int kSwapped[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  for (int i = 0; i < 16; ++i) bytes[swapped ? kSwapped[i] : i] = printed[i];
  return true;
}

}  // namespace

UuidForms DescribeUuidForms(const std::string& agentText, bool agentSwaps, const TableVersion& version) {
  UuidForms forms;
  unsigned char bytes[16];
  forms.haveUuid = StoredUuidBytes(agentText, agentSwaps, bytes);
  if (!forms.haveUuid) return forms;
  if (const char* what = quarn::smbios::UuidPlaceholder(bytes)) forms.placeholder = what;
  if (!version.known) return forms;
  const bool dmtfSwaps = quarn::smbios::DmtfSwapsUuidFields(version.major, version.minor);
  forms.dmtf = quarn::smbios::UuidText(bytes, dmtfSwaps);
  for (char& c : forms.dmtf) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  forms.formsDiffer = dmtfSwaps != agentSwaps;
  const std::string table = "SMBIOS " + std::to_string(version.major) + "." + std::to_string(version.minor);
  if (!forms.formsDiffer)
    forms.whyFormsDiffer = std::string("no: both ") +
                           (dmtfSwaps ? "swap the first three fields" : "print the bytes as stored") + " (" + table +
                           ")";
  else if (agentSwaps)
    forms.whyFormsDiffer =
        "yes: the agent swaps the first three fields from SMBIOS 2.1 on (version number 518 or more), the DMTF "
        "form from 2.6 on; this table is " +
        table;
  else
    forms.whyFormsDiffer =
        "yes: the DMTF form swaps the first three fields from 2.6 on (this table is " + table +
        "); the agent prints them as stored, " +
        (version.fromFirmwareService ? "under a Xen or Microsoft hypervisor or for this version number"
                                     : "having no version for a table found in memory");
  return forms;
}

}  // namespace quarn_tools
