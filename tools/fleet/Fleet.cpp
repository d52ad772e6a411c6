#include "fleet/Fleet.h"

#include <algorithm>
#include <numeric>
#include <set>
#include <tuple>

namespace quarn_tools {
namespace {

namespace S = quarn::settings;

// Runs of equal `key` in `order` (sorted by it first): fn(first, end).
template <typename Key, typename Fn>
void ForEachRun(std::vector<std::size_t>& order, Key key, Fn fn) {
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
  for (std::size_t i = 0; i < order.size();) {
    std::size_t j = i + 1;
    while (j < order.size() && key(order[j]) == key(order[i])) ++j;
    fn(i, j);
    i = j;
  }
}

// Groups of two or more machines with the same non-empty `key`, in order of
// the value; each group's machines in their order in the fleet.
template <typename Key, typename Placeholder>
std::vector<SharedValue> SharedBy(const std::vector<FleetMachine>& machines, Key key, Placeholder placeholder) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < machines.size(); ++i)
    if (!key(machines[i].identity).empty()) order.push_back(i);
  std::vector<SharedValue> shared;
  ForEachRun(
      order, [&](std::size_t i) -> const std::string& { return key(machines[i].identity); },
      [&](std::size_t i, std::size_t j) {
        if (j - i < 2) return;
        SharedValue group;
        group.value = key(machines[order[i]].identity);
        group.placeholder = placeholder(machines[order[i]].identity);
        group.machines.assign(order.begin() + static_cast<std::ptrdiff_t>(i),
                              order.begin() + static_cast<std::ptrdiff_t>(j));
        std::sort(group.machines.begin(), group.machines.end());
        shared.push_back(std::move(group));
      });
  return shared;
}

std::string List(const std::vector<std::string>& texts) {
  std::string list;
  for (const std::string& text : texts) list += (list.empty() ? "" : ", ") + text;
  return list;
}

// What a table change between two bundles of one machine is said by.
std::string TableOf(const MachineIdentity& f) {
  return f.checksum + " (SMBIOS " + (f.smbiosVersion.empty() ? "none" : f.smbiosVersion) + ", " + f.bundle + ", made " +
         f.madeAt + ")";
}

}  // namespace

void Fleet::AddRefused(const std::string& bundle, const std::string& error) {
  ++m_bundlesRead;
  m_refused.emplace_back(bundle, error);
}

std::uint32_t Fleet::Intern(const FactValue& value) {
  const auto found = m_valueNumbers.find(value.digest);
  if (found != m_valueNumbers.end()) return found->second;
  const std::uint32_t number = static_cast<std::uint32_t>(m_values.size());
  m_valueNumbers.emplace(value.digest, number);
  m_values.push_back(FleetValue{value.excerpt, value.digest});
  return number;
}

void Fleet::Add(MachineFacts facts) {
  ++m_bundlesRead;
  FleetMachine machine;
  for (std::size_t r = 0; r < S::kSettingCount; ++r) {
    machine.values[r] = Intern(facts.settings[r]);
    machine.origins[r] = facts.settings[r].origin;
  }
  if (!facts.identity.digestRecorded) m_withoutDigest.push_back(facts.identity.bundle);
  machine.identity = std::move(facts.identity);
  m_machines.push_back(std::move(machine));
}

// The same machine bundled more than once: one machine, its newest bundle
// standing for it (the first named among equally new ones). A clone keeps
// the name, UUID and table but not its addresses; bundles that record no
// address of their own cannot tell, and stay apart (NoteSharedUuids).
void Fleet::DropRepeatedBundles() {
  const auto same = [&](std::size_t i) {
    const MachineIdentity& f = m_machines[i].identity;
    return std::tie(f.keyId, f.machineName, f.uuid, f.identityAddress, f.localAddresses, f.executableDir);
  };
  std::vector<std::size_t> order(m_machines.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::vector<bool> dropped(m_machines.size(), false);
  ForEachRun(order, same, [&](std::size_t i, std::size_t j) {
    const MachineIdentity& first = m_machines[order[i]].identity;
    if (j - i < 2 || first.machineName.empty() || first.uuid.empty() || !first.addressed) return;
    std::vector<std::size_t> bundles(order.begin() + static_cast<std::ptrdiff_t>(i),
                                     order.begin() + static_cast<std::ptrdiff_t>(j));
    std::stable_sort(bundles.begin(), bundles.end(), [&](std::size_t a, std::size_t b) {
      return m_machines[a].identity.madeAt > m_machines[b].identity.madeAt;
    });
    const MachineIdentity& kept = m_machines[bundles[0]].identity;
    RepeatedBundles repeated{kept.machineName, kept.uuid, kept.checksum, {}, {}};
    for (std::size_t k = 0; k < bundles.size(); ++k) {
      const MachineIdentity& f = m_machines[bundles[k]].identity;
      repeated.bundles.push_back(f.bundle);
      dropped[bundles[k]] = k > 0;
      const MachineIdentity& newer = m_machines[bundles[k == 0 ? 0 : k - 1]].identity;
      if (f.checksum != newer.checksum)
        repeated.notes.push_back("its table changed (a firmware update): " + TableOf(f) + " became " + TableOf(newer));
    }
    m_repeated.push_back(std::move(repeated));
  });
  std::vector<FleetMachine> kept;
  kept.reserve(m_machines.size());
  for (std::size_t i = 0; i < m_machines.size(); ++i)
    if (!dropped[i]) kept.push_back(std::move(m_machines[i]));
  m_machines = std::move(kept);
}

// What a shared UUID may hide: machines the bundles cannot tell from one
// machine bundled again, and UUIDs that differ in their bytes but that the
// agent's byte order (by the SMBIOS version) prints as one text.
void Fleet::NoteSharedUuids() {
  for (SharedValue& group : m_sharedUuids) {
    std::vector<std::size_t> order = group.machines;
    ForEachRun(
        order,
        [&](std::size_t i) {
          const MachineIdentity& f = m_machines[i].identity;
          return std::make_tuple(f.addressed, f.keyId, f.machineName, f.checksum);
        },
        [&](std::size_t i, std::size_t j) {
          const MachineIdentity& f = m_machines[order[i]].identity;
          if (j - i < 2 || f.addressed || f.machineName.empty()) return;
          std::vector<std::string> bundles;
          for (std::size_t k = i; k < j; ++k) bundles.push_back(m_machines[order[k]].identity.bundle);
          group.notes.push_back(List(bundles) +
                                " may be one machine bundled more than once: one name and table, and no address of "
                                "their own recorded to tell a clone from it");
        });
    std::set<std::string> forms;
    for (std::size_t i : group.machines) {
      const MachineIdentity& f = m_machines[i].identity;
      if (!f.dmtfUuid.empty()) forms.insert(f.dmtfUuid + " (SMBIOS " + f.smbiosVersion + ")");
    }
    if (forms.size() > 1)
      group.notes.push_back(
          "different UUIDs that the agent's byte order (fields swapped where its version number, major << (8 + minor), "
          "is 518 or more) prints as one text; "
          "dmidecode shows " +
          List(std::vector<std::string>(forms.begin(), forms.end())));
  }
  for (SharedValue& group : m_sharedChecksums)
    if (group.placeholder)
      group.notes.push_back("the checksum of the library's zeroed buffer: no SMBIOS table was read on these machines");
}

// Per setting, within each group of bundles whose values can be compared
// (plain, or redacted under one key: another key's pseudonyms say nothing of
// these), the value most machines have (the least value among equally common
// ones, whatever the bundles' order), and the machines with another. A bundle
// redacted without a key id is a group of its own.
void Fleet::FindDrift() {
  std::map<std::string, std::vector<std::size_t>> groups;
  for (std::size_t i = 0; i < m_machines.size(); ++i) groups[m_machines[i].identity.keyId].push_back(i);
  for (const auto& [keyId, members] : groups) {
    if (keyId == "?" || members.size() < 2) continue;
    for (std::size_t r = 0; r < S::kSettingCount; ++r) {
      std::map<std::uint32_t, std::size_t> counts;  // by the group's own values: linear in its size
      for (std::size_t i : members) ++counts[m_machines[i].values[r]];
      const auto value = [&](std::uint32_t v) { return std::tie(m_values[v].excerpt, m_values[v].digest); };
      std::uint32_t majority = counts.begin()->first;
      for (const auto& [v, count] : counts)
        if (count > counts[majority] || (count == counts[majority] && value(v) < value(majority))) majority = v;
      Drift drift{r, majority, {}};
      for (std::size_t i : members)
        if (m_machines[i].values[r] != majority) drift.machines.push_back(i);
      if (!drift.machines.empty()) m_drifts.push_back(std::move(drift));
    }
  }
  std::stable_sort(m_drifts.begin(), m_drifts.end(), [](const Drift& a, const Drift& b) { return a.row < b.row; });
}

void Fleet::Finish() {
  std::stable_sort(m_machines.begin(), m_machines.end(),
                   [](const FleetMachine& a, const FleetMachine& b) { return a.identity.bundle < b.identity.bundle; });
  std::sort(m_refused.begin(), m_refused.end());
  std::sort(m_withoutDigest.begin(), m_withoutDigest.end());
  DropRepeatedBundles();
  for (const FleetMachine& machine : m_machines) ++m_groups[machine.identity.keyId];
  m_sharedUuids = SharedBy(
      m_machines, [](const MachineIdentity& f) -> const std::string& { return f.uuid; },
      [](const MachineIdentity& f) { return !f.placeholder.empty(); });
  m_sharedChecksums = SharedBy(
      m_machines, [](const MachineIdentity& f) -> const std::string& { return f.checksum; },
      [](const MachineIdentity& f) { return f.noTable; });
  m_sharedAddresses = SharedBy(
      m_machines, [](const MachineIdentity& f) -> const std::string& { return f.identityAddress; },
      [](const MachineIdentity& f) { return IsPlaceholderAddress(f.identityAddress); });
  NoteSharedUuids();
  FindDrift();
}

}  // namespace quarn_tools
