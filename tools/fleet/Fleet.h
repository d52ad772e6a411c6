// A fleet's bundles, machine by machine, and which machines the agent's
// server takes for one: those sharing a BIOS UUID (as the agent writes it),
// a table checksum or an identity address. The same machine bundled more
// than once (the same name, UUID and checksum) counts once, its newest
// bundle standing for it. Settings that most of the fleet has one way and
// some machines another are drift.
#ifndef QUARN_TOOLS_FLEET_FLEET_H
#define QUARN_TOOLS_FLEET_FLEET_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "fleet/MachineFacts.h"

namespace quarn_tools {

// A machine as the fleet keeps it: its facts but the settings, which are
// kept as numbers of the fleet's distinct values.
struct FleetMachine {
  MachineIdentity facts;
  std::array<std::uint32_t, quarn::settings::kSettingCount> values{};  // by row: FleetValue numbers
  std::array<const char*, quarn::settings::kSettingCount> origins{};
};

struct FleetValue {
  std::string excerpt;  // its JSON text, cut with "..." when long
};

// Machines that share one value, by their numbers in Fleet::Machines().
struct SharedValue {
  std::string value;
  bool placeholder = false;
  std::vector<std::size_t> machines;
};

// One machine bundled more than once: every bundle, the one kept first.
struct RepeatedBundles {
  std::string machineName, uuid, checksum;
  std::vector<std::string> bundles;
};

// A setting whose value differs from the one most of the fleet has.
struct Drift {
  std::size_t row = 0;
  std::uint32_t majority = 0;
  std::vector<std::size_t> machines;  // those whose value differs
};

class Fleet {
 public:
  void AddRefused(const std::string& bundle, const std::string& error);
  void Add(MachineFacts facts);

  // Once every bundle is added.
  void Finish();

  const std::vector<FleetMachine>& Machines() const { return m_machines; }
  const std::vector<std::pair<std::string, std::string>>& Refused() const { return m_refused; }
  std::size_t BundlesRead() const { return m_bundlesRead; }
  const std::vector<SharedValue>& SharedUuids() const { return m_sharedUuids; }
  const std::vector<SharedValue>& SharedChecksums() const { return m_sharedChecksums; }
  const std::vector<SharedValue>& SharedAddresses() const { return m_sharedAddresses; }
  const std::vector<RepeatedBundles>& Repeated() const { return m_repeated; }
  const std::vector<Drift>& Drifts() const { return m_drifts; }
  const FleetValue& Value(std::uint32_t number) const { return m_values[number]; }

 private:
  std::uint32_t Intern(const FactValue& value);
  void DropRepeatedBundles();

  std::vector<FleetMachine> m_machines;
  std::vector<std::pair<std::string, std::string>> m_refused;  // bundle, why
  std::size_t m_bundlesRead = 0;
  std::map<std::string, std::uint32_t> m_valueNumbers;  // by digest
  std::vector<FleetValue> m_values;
  std::vector<SharedValue> m_sharedUuids, m_sharedChecksums, m_sharedAddresses;
  std::vector<RepeatedBundles> m_repeated;
  std::vector<Drift> m_drifts;
};

// Whether an identity address is none the server can tell machines by:
// none at all, 0.0.0.0 or a loopback address.
bool IsPlaceholderAddress(const std::string& address);

}  // namespace quarn_tools

#endif
