// Bundles of made-up machines for the fleet view's tests and benchmark: each
// machine's firmware a small SMBIOS table of its own UUID and serial number,
// its addresses, name and settings file, recorded as quarncfg bundle
// records a machine (the recorded report its replay), plain or redacted.
#ifndef QUARN_TESTS_SUPPORT_FLEETBUNDLES_H
#define QUARN_TESTS_SUPPORT_FLEETBUNDLES_H

#include <array>
#include <string>
#include <vector>

#include "bundle/MachineRecord.h"

namespace quarn_test {

struct FleetMachinePlan {
  std::string name;
  std::array<unsigned char, 16> uuid{};
  std::string serial;  // the system's serial number: a table of its own
  std::vector<std::string> addresses;
  std::string settings = "defaultinstall=full\n";
  std::string madeAt = "2026-12-01T10:00:00Z";
  unsigned char smbiosMinor = 7;  // SMBIOS 2.x of the made-up table
  std::string block;  // the firmware's block as recorded, in place of the made-up table; "none" for no table
  std::string executableDir = "/opt/quarn/client/bin";
  bool digest = true;  // false: the bundle's digest taken out
};

// A UUID of 16 bytes made from `seed`, none of the placeholders.
std::array<unsigned char, 16> UuidOf(unsigned seed);

quarn_tools::MachineRecord FleetMachineRecord(const FleetMachinePlan& plan);
// The bundle's text; redacted under `redactionKey` when one is given, with
// the key id the redaction gives it, `keyId` in its place, or none
// (kWithoutKeyId: a bundle of a quarncfg that recorded none).
inline const std::string kWithoutKeyId = "(none)";
std::string FleetBundleText(const FleetMachinePlan& plan, const std::string& redactionKey = std::string(),
                            const std::string& keyId = std::string());

}  // namespace quarn_test

#endif
