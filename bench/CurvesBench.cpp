// How the costs grow: settings keys and list items (time, and the peak of
// memory in use while the file is read), SimpleIni's own parse of the same
// files beside ours, table size, local addresses and threads.
#include <SimpleIni.h>
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "bench/BenchMachine.h"
#include "bench/MemoryInUse.h"
#include "config/AddressRules.h"
#include "hwinfo/HwInfo.h"
#include "support/SmbiosTables.h"

namespace {

std::string SettingsWithKeys(int keys) {
  std::string text = "defaultinstall=standard\n";
  char line[32];
  for (int i = 0; i < keys; ++i) {
    std::snprintf(line, sizeof line, "k%06d=1\n", i);
    text += line;
  }
  return text;
}

std::string SettingsWithItems(int items) {
  std::string text = "defaultinstall=standard\nsrv_domain=";
  char item[32];
  for (int i = 0; i < items; ++i) {
    std::snprintf(item, sizeof item, "%ss%d.example.com", i ? "|" : "", i);
    text += item;
  }
  return text + "\n";
}

// ReadConfig of a settings file: time per read, and the peak of memory in
// use above what was in use before the read.
// Each read is the first ReadConfig of a fresh object after its
// construction (made outside the timing): later reads append the file's
// list items to the lists, as they are meant to, and would measure a list
// that grows from iteration to iteration.
void ReadFile(benchmark::State& state, const std::string& text) {
  quarn_bench::TheMachine();
  const std::filesystem::path file = quarn_bench::TheMachine().root / "client/bin/conf/curve.ini";
  std::ofstream(file, std::ios::binary) << text;
  std::size_t peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    CSingleton<CQuarnConfig>::RemoveInstance();
    CQuarnConfig& config = *CSingleton<CQuarnConfig>::NewInstance();
    const std::size_t before = quarn_bench::MarkMemoryPeak();
    state.ResumeTiming();
    benchmark::DoNotOptimize(config.ReadConfig(file.string()));
    peak = std::max(peak, quarn_bench::MemoryPeak() - before);
  }
  state.counters["file_bytes"] = static_cast<double>(text.size());
  state.counters["peak_bytes"] = static_cast<double>(peak);
}

void BM_ReadConfig_Keys(benchmark::State& state) {
  ReadFile(state, SettingsWithKeys(static_cast<int>(state.range(0))));
}

void BM_ReadConfig_ListItems(benchmark::State& state) {
  ReadFile(state, SettingsWithItems(static_cast<int>(state.range(0))));
}

// SimpleIni alone, with the library's switches, on the same text.
void BM_SimpleIni_Keys(benchmark::State& state) {
  const std::string text = SettingsWithKeys(static_cast<int>(state.range(0)));
  std::size_t peak = 0;
  for (auto _ : state) {
    const std::size_t before = quarn_bench::MarkMemoryPeak();
    CSimpleIniA ini(false, false, false);
    benchmark::DoNotOptimize(ini.LoadData(text.data(), text.size()));
    peak = std::max(peak, quarn_bench::MemoryPeak() - before);
  }
  state.counters["peak_bytes"] = static_cast<double>(peak);
}

// The UUID walk of a table of the given size: type-2 structures, then the
// System Information structure.
void BM_TableWalk(benchmark::State& state) {
  const std::vector<unsigned char> table = quarn_test::TableOfSize(static_cast<std::size_t>(state.range(0)));
  std::vector<unsigned char> buffer(0x10000, 0);
  std::copy(table.begin(), table.end(), buffer.begin());
  for (auto _ : state) benchmark::DoNotOptimize(CHwInfo(buffer.data(), static_cast<int>(buffer.size())).GetMachineid());
  state.counters["table_bytes"] = static_cast<double>(table.size());
}

// The identity choice over N usable non-private addresses and one private
// one last (the walk's bound is 201 non-private addresses).
void BM_IdentityChoice(benchmark::State& state) {
  std::vector<std::string> addresses;
  addresses.reserve(static_cast<size_t>(state.range(0)));
  for (int i = 0; i + 1 < state.range(0); ++i)
    addresses.push_back("198.51." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1));
  addresses.push_back("10.1.2.3");
  for (auto _ : state) benchmark::DoNotOptimize(quarn::ChooseIdentityIp(addresses));
  state.counters["per_address_given_ns"] =
      benchmark::Counter(static_cast<double>(addresses.size()),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_UsableAddresses(benchmark::State& state) {
  std::vector<std::string> addresses;
  addresses.reserve(static_cast<size_t>(state.range(0)));
  for (int i = 0; i < state.range(0); ++i)
    addresses.push_back(i % 10 == 0 ? "169.254.0.1"
                                    : "198.51." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1));
  for (auto _ : state) benchmark::DoNotOptimize(quarn::UsableAddresses(addresses));
}

// A cached getter from 1, 2, 4 and 8 threads at once (one shared lock).
void BM_Getter_Threads(benchmark::State& state) {
  CQuarnConfig& config = quarn_bench::Config();
  for (auto _ : state) benchmark::DoNotOptimize(config.GetInstallModule());
}

BENCHMARK(BM_ReadConfig_Keys)->Arg(20)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SimpleIni_Keys)->Arg(20)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadConfig_ListItems)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TableWalk)->Arg(1 << 10)->Arg(4 << 10)->Arg(16 << 10)->Arg(64 << 10);
BENCHMARK(BM_IdentityChoice)->Arg(1)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_UsableAddresses)->Arg(1)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_Getter_Threads)->Threads(1)->Threads(2)->Threads(4)->Threads(8);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  CSingleton<CQuarnConfig>::RemoveInstance();
  benchmark::Shutdown();
  return 0;
}
