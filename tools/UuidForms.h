// The BIOS UUID beside the agent's text of it: the DMTF's form, which
// dmidecode and firmware setup screens print, whether and why the two
// differ, and whether the UUID is a placeholder that many machines share.
#ifndef QUARN_TOOLS_UUIDFORMS_H
#define QUARN_TOOLS_UUIDFORMS_H

#include <string>

namespace quarn_tools {

// What the table says of its version, for the DMTF's rule.
struct TableVersion {
  bool known = false;  // else a table found in memory whose entry point was not read
  unsigned char major = 0, minor = 0;
  bool fromFirmwareService = false;  // the service's block (else physical memory)
};

struct UuidForms {
  bool haveUuid = false;       // the agent's text is a UUID
  std::string dmtf;            // lower case; "" when the version is not known
  bool formsDiffer = false;    // when dmtf is given
  std::string whyFormsDiffer;  // for the report's text form
  std::string placeholder;     // what the placeholder is, or ""
};

// `agentText` is the library's UUID text, printed with its first three
// fields swapped when `agentSwaps`.
UuidForms DescribeUuidForms(const std::string& agentText, bool agentSwaps, const TableVersion& version);

}  // namespace quarn_tools

#endif
