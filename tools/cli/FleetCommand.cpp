#include <algorithm>
#include <cstdio>
#include <new>

#include "cli/Commands.h"
#include "fleet/BundleFiles.h"
#include "fleet/Fleet.h"
#include "fleet/FleetReport.h"
#include "fleet/Parallel.h"
#include "report/Terminal.h"

namespace quarn_tools {
namespace {

// Bundles are read this many at a time, side by side; their facts are then
// added to the fleet, and the next ones read. What is held at once is a
// batch's facts and the fleet's machines, whatever the bundles' sizes.
const std::size_t kBatch = 256;

struct Outcome {
  MachineFacts facts;
  std::string error;  // "" when the facts were had
};

Outcome OutcomeOf(const std::string& path) {
  Outcome outcome;
  try {
    if (!FactsOfBundle(path, outcome.facts, outcome.error) && outcome.error.empty()) outcome.error = "not read";
  } catch (const std::bad_alloc&) {
    outcome.error = "out of memory while reading it";
  } catch (const std::exception& error) {
    outcome.error = error.what();
  }
  if (!outcome.error.empty()) outcome.facts = MachineFacts();
  return outcome;
}

}  // namespace

int FleetCommand(const Options& options) {
  const BundleFiles found = FindBundleFiles(options.fleetPaths);
  // A mistyped path, or a folder of no bundle, must not read as a clean
  // fleet to a script.
  for (const auto& missing : found.missing) PrintError(Printable(missing.first) + ": " + missing.second);
  if (found.files.empty() && found.missing.empty()) {
    for (const auto& refused : found.refused) PrintError(Printable(refused.first) + ": " + refused.second);
    PrintError("no bundle (*.json) to read under the paths given");
  }
  if (found.files.empty() || !found.missing.empty()) return Finished(2);
  Fleet fleet;
  for (const auto& refused : found.refused) fleet.AddRefused(refused.first, refused.second);
  for (const auto& skipped : found.skipped) fleet.AddSkipped(skipped.first, skipped.second);
  std::vector<Outcome> batch;
  for (std::size_t first = 0; first < found.files.size(); first += kBatch) {
    const std::size_t count = std::min(kBatch, found.files.size() - first);
    batch.assign(count, Outcome());
    ForEachInParallel(count, 0, [&](std::size_t i) { batch[i] = OutcomeOf(found.files[first + i]); });
    for (std::size_t i = 0; i < count; ++i) {
      if (batch[i].error.empty())
        fleet.Add(std::move(batch[i].facts));
      else
        fleet.AddRefused(found.files[first + i], batch[i].error);
    }
  }
  fleet.Finish();
  if (options.json)
    WriteFleetJson(fleet, stdout);
  else
    PrintFleet(fleet, stdout);
  // Nothing usable is no clean fleet either.
  if (fleet.Machines().empty()) {
    PrintError("no bundle could be used: each one was refused");
    return Finished(2);
  }
  return Finished(fleet.SharedUuids().empty() ? 0 : 1);
}

}  // namespace quarn_tools
