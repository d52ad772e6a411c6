// quarncfg bundle --redact: a bundle a customer can send out of their
// network. Everything recorded that names the machine, its owner, its users
// or the customer is replaced by a keyed pseudonym (bundle/Pseudonyms.h)
// that keeps what the library's rules see in it, so the replay walks the same
// table, makes the same identity choice and the same places; the recorded
// report is redacted to match; and the bundle says, in its "redaction"
// member, what kinds of value it replaced and which it kept.
#ifndef QUARN_TOOLS_BUNDLE_REDACT_H
#define QUARN_TOOLS_BUNDLE_REDACT_H

#include <string>
#include <vector>

#include "bundle/MachineRecord.h"

namespace quarn_tools {

// The shortest key --redact-key takes, in bytes.
constexpr std::size_t kShortestRedactionKey = 16;

// Redacts `record` under `key`. `keyGiven`: the key came from the user
// (the same key gives the same pseudonyms in other bundles), else it was
// made for this bundle alone. `otherPaths`: paths that the recorded texts
// may hold beside the installation's (the program's own directory).
void RedactRecord(MachineRecord& record, const std::string& key, bool keyGiven,
                  const std::vector<std::string>& otherPaths = std::vector<std::string>());

}  // namespace quarn_tools

#endif
