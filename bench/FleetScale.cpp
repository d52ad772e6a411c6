// How quarncfg fleet grows with the fleet: made-up bundles of 1,000, 10,000
// and 100,000 machines (a few clones and placeholder boards among them),
// the view of each timed as a process, with its peak of memory. The view
// reads every bundle, replays it and keeps a few hundred bytes a machine.
// usage: quarn_fleet_scale [--machines N[,N...]] [--large N] [--quarncfg PATH]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bench/platform/ChildRun.h"
#include "fleet/Parallel.h"
#include "support/FleetBundles.h"

namespace {

struct Options {
  std::vector<std::size_t> sizes = {1000, 10000, 100000};
  std::size_t large = 500;  // machines with large settings files
  std::string quarncfg = QUARNCFG_PATH;
};

// Machine `i` of the made-up fleet: every 100th a clone of machine 0, every
// 250th a board with the placeholder UUID, the rest a machine of its own.
quarn_test::FleetMachinePlan MachineNumber(std::size_t i) {
  quarn_test::FleetMachinePlan plan;
  const unsigned seed = static_cast<unsigned>(i % 100 == 0 ? 0 : i);
  plan.name = "WKS-" + std::to_string(i);
  plan.uuid = quarn_test::UuidOf(seed);
  if (i % 250 == 1) plan.uuid = {0x03, 0, 0x02, 0, 0x04, 0, 0x05, 0, 0, 0x06, 0, 0x07, 0, 0x08, 0, 0x09};
  plan.serial = "SN-" + std::to_string(seed);
  plan.addresses = {"10." + std::to_string(i >> 16 & 255) + "." + std::to_string(i >> 8 & 255) + "." +
                    std::to_string(i & 255)};
  if (i % 1000 == 7) plan.settings = "defaultinstall=full\nmax_cpuuse=50\n";
  return plan;
}

// A folder of its own under the system's temporary one, removed at the end.
class Scratch {
 public:
  Scratch() {
    std::random_device random;
    m_path = std::filesystem::temp_directory_path() / ("quarn-fleet-" + std::to_string(random()));
    std::filesystem::create_directories(m_path);
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  std::string path() const { return m_path.string(); }

 private:
  std::filesystem::path m_path;
};

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--machines" && i + 1 < argc) {
      options.sizes.clear();
      std::istringstream list(argv[++i]);
      for (std::string size; std::getline(list, size, ',');)
        options.sizes.push_back(std::strtoul(size.c_str(), nullptr, 10));
    } else if (argument == "--large" && i + 1 < argc) {
      options.large = std::strtoul(argv[++i], nullptr, 10);
    } else if (argument == "--quarncfg" && i + 1 < argc) {
      options.quarncfg = argv[++i];
    } else {
      std::fprintf(stderr, "usage: quarn_fleet_scale [--machines N[,N...]] [--large N] [--quarncfg PATH]\n");
      return 2;
    }
  }
  Scratch scratch;
  std::size_t made = 0;
  std::printf("%10s %12s %10s %12s %10s %8s\n", "machines", "bundles MB", "fleet", "per bundle", "peak MB", "status");
  bool failed = false;
  for (std::size_t size : options.sizes) {
    // The fleet grows: the bundles made for the smaller sizes stay.
    std::vector<std::size_t> sizes(size > made ? size - made : 0);
    quarn_tools::ForEachInParallel(sizes.size(), 0, [&](std::size_t k) {
      const std::size_t i = made + k;
      const std::string text = quarn_test::FleetBundleText(MachineNumber(i));
      sizes[k] = text.size();
      WriteText(scratch.path() + "/" + std::to_string(i / 1000) + "-" + std::to_string(i) + ".json", text);
    });
    static double bytes = 0;
    for (std::size_t s : sizes) bytes += static_cast<double>(s);
    made = std::max(made, size);
    const quarn_bench::ChildRun run = quarn_bench::RunChild(options.quarncfg, {"fleet", scratch.path(), "--json"});
    // Status 1: machines share an identity, as planted.
    failed = failed || !run.started || run.exitCode != 1;
    std::printf("%10zu %12.1f %9.2fs %10.3fms %10.1f %8d\n", size, bytes / 1e6, run.seconds,
                run.seconds * 1e3 / static_cast<double>(size), static_cast<double>(run.peakBytes) / 1e6, run.exitCode);
    std::fflush(stdout);
  }
  // The same view over fewer, larger bundles (settings files of 256 KiB,
  // a server list of thousands): the peak is the fleet's and a few
  // bundles' replay at a time, not all the bundles' sizes together.
  if (options.large) {
    Scratch large;
    std::string servers = "defaultinstall=full\nsrv_domain=";
    while (servers.size() < (std::size_t{256} << 10))
      servers += "svc-" + std::to_string(servers.size()) + ".example.com|";
    quarn_tools::ForEachInParallel(options.large, 0, [&](std::size_t i) {
      quarn_test::FleetMachinePlan plan = MachineNumber(i + 1);
      plan.settings = servers + "\n";
      WriteText(large.path() + "/" + std::to_string(i) + ".json", quarn_test::FleetBundleText(plan));
    });
    const quarn_bench::ChildRun run = quarn_bench::RunChild(options.quarncfg, {"fleet", large.path(), "--json"});
    failed = failed || !run.started || run.exitCode > 1;
    std::printf("%10zu %12s %9.2fs %10.3fms %10.1f %8d  (settings files of 256 KiB)\n", options.large, "-", run.seconds,
                run.seconds * 1e3 / static_cast<double>(options.large), static_cast<double>(run.peakBytes) / 1e6,
                run.exitCode);
  }
  return failed ? 1 : 0;
}
