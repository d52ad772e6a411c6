// A fleet's bundles, machine by machine, and which machines the agent's
// server takes for one: those sharing a BIOS UUID (as the agent writes it),
// a table checksum or an identity address. The same machine bundled more
// than once counts once, its newest bundle standing for it: the same name
// and UUID and what a clone does not share, the addresses the network gave
// it and the folder it was installed in (its table may have changed, by a
// firmware update). Settings that most of the fleet has one way and some
// machines another are drift.
#ifndef QUARN_TOOLS_FLEET_FLEET_H
#define QUARN_TOOLS_FLEET_FLEET_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "fleet/MachineFacts.h"

namespace quarn_tools {

// A machine as the fleet keeps it: its identity, and its settings kept
// as numbers of the fleet's distinct values.
struct FleetMachine {
  MachineIdentity identity;
  std::array<std::uint32_t, quarn::settings::kSettingCount> values{};  // by row: FleetValue numbers
  std::array<const char*, quarn::settings::kSettingCount> origins{};
};

struct FleetValue {
  std::string excerpt;  // its JSON text, cut with "..." when long
  std::string digest;
};

// Machines that share one value, by their numbers in Fleet::Machines(), and
// what a reader must know of the group.
struct SharedValue {
  std::string value;
  bool placeholder = false;
  std::vector<std::size_t> machines;
  std::vector<std::string> notes;
};

// One machine bundled more than once: every bundle, the one kept first, and
// how its table changed between them.
struct RepeatedBundles {
  std::string machineName, uuid, checksum;
  std::vector<std::string> bundles;
  std::vector<std::string> notes;
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
  // An entry of a folder that the walk passed over: no bundle read.
  void AddSkipped(const std::string& path, const std::string& why) { m_skipped.emplace_back(path, why); }
  void Add(MachineFacts facts);

  // Once every bundle is added.
  void Finish();

  const std::vector<FleetMachine>& Machines() const { return m_machines; }
  const std::vector<std::pair<std::string, std::string>>& Refused() const { return m_refused; }
  const std::vector<std::pair<std::string, std::string>>& Skipped() const { return m_skipped; }
  std::size_t BundlesRead() const { return m_bundlesRead; }
  const std::vector<SharedValue>& SharedUuids() const { return m_sharedUuids; }
  const std::vector<SharedValue>& SharedChecksums() const { return m_sharedChecksums; }
  const std::vector<SharedValue>& SharedAddresses() const { return m_sharedAddresses; }
  const std::vector<RepeatedBundles>& Repeated() const { return m_repeated; }
  const std::vector<Drift>& Drifts() const { return m_drifts; }
  const FleetValue& Value(std::uint32_t number) const { return m_values[number]; }
  // Machines by the key id of their redaction ("" plain, "?" none): values
  // of two groups cannot be compared.
  const std::map<std::string, std::size_t>& ComparabilityGroups() const { return m_groups; }
  const std::vector<std::string>& WithoutDigest() const { return m_withoutDigest; }

 private:
  std::uint32_t Intern(const FactValue& value);
  void DropRepeatedBundles();
  void NoteSharedUuids();
  void FindDrift();

  std::vector<FleetMachine> m_machines;
  std::vector<std::pair<std::string, std::string>> m_refused, m_skipped;  // path, why
  std::size_t m_bundlesRead = 0;
  std::map<std::string, std::uint32_t> m_valueNumbers;  // by digest
  std::vector<FleetValue> m_values;
  std::vector<SharedValue> m_sharedUuids, m_sharedChecksums, m_sharedAddresses;
  std::vector<RepeatedBundles> m_repeated;
  std::vector<Drift> m_drifts;
  std::map<std::string, std::size_t> m_groups;
  std::vector<std::string> m_withoutDigest;
};

}  // namespace quarn_tools

#endif
