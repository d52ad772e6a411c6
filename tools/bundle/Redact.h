// quarncfg bundle --redact: the identity data of a record replaced by
// stable placeholders that keep what the library's rules see in them. The
// machine name becomes "redacted-host"; each address becomes one of its own
// class for the identity walk (a private one keeps the prefix that made it
// private, a 172. fallback stays one, an unusable one stays unusable, the
// rest are not private); the 16 UUID bytes of the System Information
// structure become a fixed pattern, unless they are a placeholder already.
// The recorded report is changed to match; its table checksum stays the
// machine's, which the redacted table no longer gives.
#ifndef QUARN_TOOLS_BUNDLE_REDACT_H
#define QUARN_TOOLS_BUNDLE_REDACT_H

#include <string>

#include "bundle/MachineRecord.h"

namespace quarn_tools {

// The placeholder of one local address: `index` (from 1) tells it apart
// from the others of the record.
std::string RedactedAddress(const std::string& address, unsigned index);

void RedactRecord(MachineRecord& record);

}  // namespace quarn_tools

#endif
