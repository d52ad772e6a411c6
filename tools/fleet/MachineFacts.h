// What the fleet view keeps of one bundle: the answers by which the agent's
// server tells machines apart (the BIOS UUID as the agent writes it, the
// table checksum, the identity address), what names the machine, and each
// setting's value as a digest and a short excerpt. A few hundred bytes,
// whatever the bundle's size: a fleet's memory grows with its machines.
#ifndef QUARN_TOOLS_FLEET_MACHINEFACTS_H
#define QUARN_TOOLS_FLEET_MACHINEFACTS_H

#include <array>
#include <string>

#include "config/SettingsRules.h"

namespace quarn_tools {

// A setting's value on one machine: its JSON text, known by a digest of the
// whole and shown by its first bytes.
struct FactValue {
  std::string digest;   // 16 bytes of the SHA-256 of the JSON text
  std::string excerpt;  // the JSON text, cut to its first bytes ("..." after)
  const char* origin = "";
};

// What tells the machine apart and names it.
struct MachineIdentity {
  std::string bundle;  // the bundle's file
  bool redacted = false;
  // Which bundles its values can be compared with: "" plain, the redaction
  // key's id, or "?" redacted without one (its pseudonyms are its own).
  std::string keyId;
  bool digestRecorded = false;
  std::string machineName;  // "" when not known
  std::string madeAt;
  std::string uuid;         // the agent's text; "" for none
  std::string dmtfUuid;     // as dmidecode prints it; "" for none
  std::string placeholder;  // which placeholder the UUID is; "" for none
  std::string checksum;     // as the report writes it; "" for none
  bool noTable = false;     // the checksum is of the zeroed buffer alone
  std::string identityAddress;
  std::string localAddresses;  // sorted, one text
  bool addressed = false;      // an address of its own (not a placeholder) is known
  std::string executableDir;
  std::string hypervisor;
  std::string smbiosVersion;
};

struct MachineFacts {
  MachineIdentity identity;
  std::array<FactValue, quarn::settings::kSettingCount> settings;  // by row
};

// The facts of the bundle at `path`, worked out as quarncfg --from-bundle
// does: the bundle read by its schema, replayed through the library's
// rules, and compared with its recorded report. False, with `error`, for a
// bundle that cannot be read, was changed after it was made, or whose
// replay differs from its recorded report for no known reason.
bool FactsOfBundle(const std::string& path, MachineFacts& facts, std::string& error);

// Whether an identity address is none the server can tell machines by:
// none at all, 0.0.0.0 or a loopback address.
bool IsPlaceholderAddress(const std::string& address);

}  // namespace quarn_tools

#endif
