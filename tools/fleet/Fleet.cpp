#include "fleet/Fleet.h"

#include <algorithm>
#include <tuple>

namespace quarn_tools {
namespace {

namespace S = quarn::settings;

// Groups of two or more machines with the same non-empty `key`, in order of
// the value; each group's machines in their order in the fleet.
template <typename Key, typename Placeholder>
std::vector<SharedValue> SharedBy(const std::vector<FleetMachine>& machines, Key key, Placeholder placeholder) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < machines.size(); ++i)
    if (!key(machines[i].facts).empty()) order.push_back(i);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return key(machines[a].facts) < key(machines[b].facts); });
  std::vector<SharedValue> shared;
  for (std::size_t i = 0; i < order.size();) {
    std::size_t j = i + 1;
    while (j < order.size() && key(machines[order[j]].facts) == key(machines[order[i]].facts)) ++j;
    if (j - i > 1) {
      SharedValue group;
      group.value = key(machines[order[i]].facts);
      group.placeholder = placeholder(machines[order[i]].facts);
      group.machines.assign(order.begin() + static_cast<std::ptrdiff_t>(i),
                            order.begin() + static_cast<std::ptrdiff_t>(j));
      shared.push_back(std::move(group));
    }
    i = j;
  }
  return shared;
}

}  // namespace

bool IsPlaceholderAddress(const std::string& address) {
  return address.empty() || address == "0.0.0.0" || address.rfind("127.", 0) == 0;
}

void Fleet::AddRefused(const std::string& bundle, const std::string& error) {
  ++m_bundlesRead;
  m_refused.emplace_back(bundle, error);
}

std::uint32_t Fleet::Intern(const FactValue& value) {
  const auto found = m_valueNumbers.find(value.digest);
  if (found != m_valueNumbers.end()) return found->second;
  const std::uint32_t number = static_cast<std::uint32_t>(m_values.size());
  m_valueNumbers.emplace(value.digest, number);
  m_values.push_back(FleetValue{value.excerpt});
  return number;
}

void Fleet::Add(MachineFacts facts) {
  ++m_bundlesRead;
  FleetMachine machine;
  for (std::size_t r = 0; r < S::kSettingCount; ++r) {
    machine.values[r] = Intern(facts.settings[r]);
    machine.origins[r] = facts.settings[r].origin;
  }
  machine.facts = std::move(facts.identity);
  m_machines.push_back(std::move(machine));
}

// The same machine bundled more than once: one machine, its newest bundle
// standing for it (the first named among equally new ones).
void Fleet::DropRepeatedBundles() {
  const auto same = [](const MachineIdentity& f) { return std::tie(f.machineName, f.uuid, f.checksum); };
  std::vector<std::size_t> order(m_machines.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return same(m_machines[a].facts) < same(m_machines[b].facts); });
  std::vector<bool> dropped(m_machines.size(), false);
  for (std::size_t i = 0; i < order.size();) {
    std::size_t j = i + 1;
    while (j < order.size() && same(m_machines[order[j]].facts) == same(m_machines[order[i]].facts)) ++j;
    const MachineIdentity& first = m_machines[order[i]].facts;
    if (j - i > 1 && !first.machineName.empty()) {
      std::size_t kept = order[i];
      for (std::size_t k = i + 1; k < j; ++k)
        if (m_machines[order[k]].facts.madeAt > m_machines[kept].facts.madeAt) kept = order[k];
      RepeatedBundles repeated{first.machineName, first.uuid, first.checksum, {m_machines[kept].facts.bundle}};
      for (std::size_t k = i; k < j; ++k) {
        if (order[k] == kept) continue;
        repeated.bundles.push_back(m_machines[order[k]].facts.bundle);
        dropped[order[k]] = true;
      }
      m_repeated.push_back(std::move(repeated));
    }
    i = j;
  }
  std::vector<FleetMachine> kept;
  kept.reserve(m_machines.size());
  for (std::size_t i = 0; i < m_machines.size(); ++i)
    if (!dropped[i]) kept.push_back(std::move(m_machines[i]));
  m_machines = std::move(kept);
}

void Fleet::Finish() {
  std::stable_sort(m_machines.begin(), m_machines.end(),
                   [](const FleetMachine& a, const FleetMachine& b) { return a.facts.bundle < b.facts.bundle; });
  std::sort(m_refused.begin(), m_refused.end());
  DropRepeatedBundles();
  m_sharedUuids = SharedBy(
      m_machines, [](const MachineIdentity& f) -> const std::string& { return f.uuid; },
      [](const MachineIdentity& f) { return !f.placeholder.empty(); });
  m_sharedChecksums = SharedBy(
      m_machines, [](const MachineIdentity& f) -> const std::string& { return f.checksum; },
      [](const MachineIdentity&) { return false; });
  m_sharedAddresses = SharedBy(
      m_machines, [](const MachineIdentity& f) -> const std::string& { return f.identityAddress; },
      [](const MachineIdentity& f) { return IsPlaceholderAddress(f.identityAddress); });
  // Drift: per setting, the value most machines have (the first such in
  // the value table on a tie), and the machines with another.
  for (std::size_t r = 0; r < S::kSettingCount; ++r) {
    std::vector<std::size_t> counts(m_values.size(), 0);
    for (const FleetMachine& machine : m_machines) ++counts[machine.values[r]];
    const std::uint32_t majority =
        static_cast<std::uint32_t>(std::max_element(counts.begin(), counts.end()) - counts.begin());
    Drift drift{r, majority, {}};
    for (std::size_t i = 0; i < m_machines.size(); ++i)
      if (m_machines[i].values[r] != majority) drift.machines.push_back(i);
    if (!drift.machines.empty()) m_drifts.push_back(std::move(drift));
  }
}

}  // namespace quarn_tools
