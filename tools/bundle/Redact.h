// quarncfg bundle --redact: a bundle a customer can send out of their
// network, decided by an allow-list. What the list names leaves as it is
// (bundle/RedactTable.h, bundle/RedactText.h say what); everything else
// recorded is replaced by a keyed pseudonym (bundle/Pseudonyms.h) that keeps
// what the library's rules see in it, or zeroed. The recorded report is
// then made again from the redacted inputs, so one value has one pseudonym
// wherever it appears and the replay is equal; and the bundle's "redaction"
// member says, counted, what was replaced and what was kept.
#ifndef QUARN_TOOLS_BUNDLE_REDACT_H
#define QUARN_TOOLS_BUNDLE_REDACT_H

#include <string>
#include <vector>

#include "bundle/MachineRecord.h"
#include "bundle/RedactText.h"

namespace quarn_tools {

// The shortest key --redact-key takes, in bytes.
constexpr std::size_t kShortestRedactionKey = 16;

// Redacts `record` under `key`. `keyGiven`: the key came from the user
// (the same key gives the same pseudonyms in other bundles), else it was
// made for this bundle alone. `otherPaths`: paths that the recorded texts
// may hold beside the installation's (the program's own directory). What
// was done, and every value kept with its reason.
RedactionLog RedactRecord(MachineRecord& record, const std::string& key, bool keyGiven,
                          const std::vector<std::string>& otherPaths = std::vector<std::string>());

}  // namespace quarn_tools

#endif
