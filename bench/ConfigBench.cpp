// What the library's answers cost, each against its floor: the least work
// any implementation must do for that answer, measured in the same run.
//
//   cached getters      vs  an uncontended shared-lock acquire plus a copy
//   GetBiosHash         vs  fetching the table plus zlib's CRC-32 of 64 KiB
//   NewInstance+Remove  vs  the same file reads and system queries, direct
//
// The program prints the usual table, then the ratios.
#include <SimpleIni.h>
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <shared_mutex>
#include <vector>

#include "bench/BenchMachine.h"
#include "bench/SideBySide.h"
#include "bench/floor/GetterFloor.h"
#include "config/QuarnConfig.h"
#include "support/FakePlatform.h"
#include "util/DirCom.h"
#include "util/FileUtil.h"
#include "util/LogMessage.h"
#include "util/ToolUtil.h"

namespace fs = std::filesystem;

namespace {

using quarn_bench::BenchPlatform;
using quarn_bench::Config;
using quarn_bench::TheMachine;

// Floor of a cached getter: an uncontended shared hold and a copy of a text
// as long as the getter's answer (the argument).
struct GuardedText {
  std::shared_mutex lock;
  std::string text;
};

// One per length, shared by the threads of a run, as the object's lock is.
GuardedText& Guarded(size_t length) {
  static std::map<size_t, GuardedText> texts;
  static std::mutex creating;
  std::lock_guard<std::mutex> hold(creating);
  GuardedText& guarded = texts[length];
  if (guarded.text.size() != length) guarded.text.assign(length, 'u');
  return guarded;
}

void BM_Floor_SharedLockCopy(benchmark::State& state) {
  GuardedText& guarded = Guarded(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    std::shared_lock<std::shared_mutex> hold(guarded.lock);
    std::string copy = guarded.text;
    benchmark::DoNotOptimize(copy);
  }
}

void BM_Getter_InstallModule(benchmark::State& state) {
  CQuarnConfig& config = Config();
  for (auto _ : state) benchmark::DoNotOptimize(config.GetInstallModule());
}

void BM_Getter_IdentityIp(benchmark::State& state) {
  CQuarnConfig& config = Config();
  config.GetIdentityIp();  // stored from now on
  for (auto _ : state) benchmark::DoNotOptimize(config.GetIdentityIp());
}

void BM_Getter_BiosUuid(benchmark::State& state) {
  CQuarnConfig& config = Config();
  config.GetBiosUuid();  // found from now on
  for (auto _ : state) benchmark::DoNotOptimize(config.GetBiosUuid());
}

// Side by side (bench/SideBySide.h), 500 calls a batch.
template <typename Floor, typename Subject>
void SideBySide(benchmark::State& state, Floor floor, Subject subject) {
  const quarn_bench::SideBySideFigures figures = quarn_bench::TimeSideBySide(state, floor, subject, 500);
  state.counters["floor_ns"] = figures.floorNs;
  state.counters["getter_ns"] = figures.subjectNs;
}

// The floor of another shared library, with an answer of the getter's
// length, and the inlined floor of this program as a second reference.
template <typename Getter>
void BM_SideBySide_Exported(benchmark::State& state, Getter getter, size_t length) {
  CQuarnConfig& config = Config();
  getter(config);  // stored or found from now on
  static std::map<size_t, std::unique_ptr<CGetterFloor>> floors;
  std::unique_ptr<CGetterFloor>& floor = floors[length];
  if (!floor) floor = std::make_unique<CGetterFloor>(std::string(length, 'u'));
  SideBySide(
      state, [&] { return floor->Get(); }, [&] { return getter(config); });
}

template <typename Getter>
void BM_SideBySide_Inlined(benchmark::State& state, Getter getter, size_t length) {
  CQuarnConfig& config = Config();
  getter(config);
  GuardedText& guarded = Guarded(length);
  SideBySide(
      state,
      [&] {
        std::shared_lock<std::shared_mutex> hold(guarded.lock);
        return std::string(guarded.text);
      },
      [&] { return getter(config); });
}

std::string InstallModule(CQuarnConfig& config) { return config.GetInstallModule(); }
std::string IdentityIp(CQuarnConfig& config) { return config.GetIdentityIp(); }
std::string BiosUuid(CQuarnConfig& config) { return config.GetBiosUuid(); }

BENCHMARK_CAPTURE(BM_SideBySide_Exported, InstallModule, InstallModule, 8);
BENCHMARK_CAPTURE(BM_SideBySide_Exported, IdentityIp, IdentityIp, 11);
BENCHMARK_CAPTURE(BM_SideBySide_Exported, BiosUuid, BiosUuid, 36);
BENCHMARK_CAPTURE(BM_SideBySide_Inlined, InstallModule, InstallModule, 8);
BENCHMARK_CAPTURE(BM_SideBySide_Inlined, IdentityIp, IdentityIp, 11);
BENCHMARK_CAPTURE(BM_SideBySide_Inlined, BiosUuid, BiosUuid, 36);

// Floor of the checksum: the table from the platform, in a zeroed 64 KiB
// buffer, and zlib's CRC-32 over that buffer.
void BM_Floor_FetchAndCrc(benchmark::State& state) {
  BenchPlatform& platform = TheMachine().platform;
  TheMachine();
  for (auto _ : state) {
    std::vector<unsigned char> buffer(0x10000, 0);
    const quarn::sys::FirmwareBlock block = platform.FirmwareSmbiosBlock();
    std::copy(block.bytes.begin() + 8, block.bytes.end(), buffer.begin());
    benchmark::DoNotOptimize(crc32(0L, buffer.data(), static_cast<uInt>(buffer.size())));
  }
}

void BM_BiosHash(benchmark::State& state) {
  CQuarnConfig& config = Config();
  for (auto _ : state) benchmark::DoNotOptimize(config.GetBiosHash());
}

// Floor of construction: the files it reads and the questions it asks the
// system, done directly: the executable's path, the globalcfg test, the two
// settings files (each tested to be a file, then loaded), the host name, the
// version query (twice: once for the description, once for the tag), the
// word size, the updater's directory and its record.
void BM_Floor_ConstructionWork(benchmark::State& state) {
  TheMachine();
  BenchPlatform& platform = TheMachine().platform;
  for (auto _ : state) {
    platform.StartSockets();
    const std::string dir = kqt::CToolUtil::GetApplicationDirPath();
    const std::string root = dir.substr(0, dir.rfind('/', dir.rfind('/') - 1));
    const bool globalcfg = fs::is_directory(fs::path(root + "/globalcfg"));
    CSimpleIniA settings(false, false, false), domains(false, false, false);
    const std::string settingsFile = dir + "/conf/cli_config.ini", domainFile = root + "/globalcfg/domaincfg.ini";
    if (kqt::CFileUtil::IsFile(settingsFile)) settings.LoadFile(settingsFile.c_str());
    if (kqt::CFileUtil::IsFile(domainFile)) domains.LoadFile(domainFile.c_str());
    std::string name, line;
    platform.HostName(name);
    benchmark::DoNotOptimize(platform.WindowsVersion());
    benchmark::DoNotOptimize(platform.WindowsVersion());
    benchmark::DoNotOptimize(platform.IsOperatingSystem64Bit());
    const bool exists = fs::is_directory(fs::path(root + "/quarn_update"));
    kqt::CFileUtil::ReadLine(root + "/quarn_update/cur_version.txt", line);
    platform.CleanupSockets();
    benchmark::DoNotOptimize(globalcfg);
    benchmark::DoNotOptimize(exists);
  }
}

void BM_NewAndRemoveInstance(benchmark::State& state) {
  TheMachine();
  CSingleton<CQuarnConfig>::RemoveInstance();
  for (auto _ : state) {
    benchmark::DoNotOptimize(CSingleton<CQuarnConfig>::NewInstance());
    CSingleton<CQuarnConfig>::RemoveInstance();
  }
}

// The answers are 8 ("standard"), 11 ("10.20.30.40") and 36 characters long.
BENCHMARK(BM_Floor_SharedLockCopy)->Arg(8)->Arg(11)->Arg(36);
BENCHMARK(BM_Getter_InstallModule);
BENCHMARK(BM_Getter_IdentityIp);
BENCHMARK(BM_Getter_BiosUuid);
BENCHMARK(BM_Floor_SharedLockCopy)->Arg(8)->Arg(11)->Arg(36)->Threads(2);
BENCHMARK(BM_Getter_InstallModule)->Threads(2);
BENCHMARK(BM_Getter_IdentityIp)->Threads(2);
BENCHMARK(BM_Getter_BiosUuid)->Threads(2);
BENCHMARK(BM_Floor_FetchAndCrc);
BENCHMARK(BM_BiosHash);
BENCHMARK(BM_Floor_ConstructionWork);
BENCHMARK(BM_NewAndRemoveInstance);

// Keeps every run's time per iteration, and prints the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // With repetitions, the median of each benchmark; else its one run.
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string name = run.run_name.str();
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        m_nanoseconds[name] = run.GetAdjustedRealTime();
        m_fromMedian.insert(name);
      } else if (run.run_type == Run::RT_Iteration && !m_fromMedian.count(name)) {
        m_nanoseconds[name] = run.GetAdjustedRealTime();
      }
      // Side-by-side runs: the one run's figures, or with repetitions the
      // median over the repetitions of each figure.
      const auto ratio = run.counters.find("ratio");
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if ((run.run_type == Run::RT_Iteration || median) && ratio != run.counters.end())
        m_sideBySide[name].push_back({ratio->second, run.counters.at("ratio_p10"), run.counters.at("ratio_p90"),
                                      run.counters.at("floor_ns"), run.counters.at("getter_ns")});
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintSideBySide() const {
    if (m_sideBySide.empty()) return;
    std::printf("\n%-44s %9s %9s %7s %7s %7s  %s\n", "side by side (median of rounds)", "getter ns", "floor ns",
                "ratio", "p10", "p90", "target 1.1x");
    for (const auto& entry : m_sideBySide)
      for (const SideRun& run : entry.second)
        std::printf("%-44s %9.1f %9.1f %7.3f %7.3f %7.3f  %s\n", entry.first.c_str(), run.getter, run.floor, run.ratio,
                    run.p10, run.p90, run.ratio <= 1.1 ? "" : "MISSED");
  }
  void PrintRatios() const {
    struct Pair {
      const char* measured;
      const char* floor;
      double target;
    };
    const Pair pairs[] = {
        {"BM_Getter_InstallModule", "BM_Floor_SharedLockCopy/8", 1.1},
        {"BM_Getter_IdentityIp", "BM_Floor_SharedLockCopy/11", 1.1},
        {"BM_Getter_BiosUuid", "BM_Floor_SharedLockCopy/36", 1.1},
        {"BM_Getter_InstallModule/threads:2", "BM_Floor_SharedLockCopy/8/threads:2", 1.1},
        {"BM_Getter_IdentityIp/threads:2", "BM_Floor_SharedLockCopy/11/threads:2", 1.1},
        {"BM_Getter_BiosUuid/threads:2", "BM_Floor_SharedLockCopy/36/threads:2", 1.1},
        {"BM_BiosHash", "BM_Floor_FetchAndCrc", 1.2},
        {"BM_NewAndRemoveInstance", "BM_Floor_ConstructionWork", 1.5},
    };
    std::printf("\n%-36s %12s %12s %7s %7s\n", "measured against its floor", "time (ns)", "floor (ns)", "ratio",
                "target");
    for (const Pair& pair : pairs) {
      const auto measured = m_nanoseconds.find(pair.measured), floor = m_nanoseconds.find(pair.floor);
      if (measured == m_nanoseconds.end() || floor == m_nanoseconds.end()) continue;
      const double ratio = measured->second / floor->second;
      std::printf("%-36s %12.1f %12.1f %7.2f %6.1fx %s\n", pair.measured, measured->second, floor->second, ratio,
                  pair.target, ratio <= pair.target ? "" : "MISSED");
    }
    const auto construction = m_nanoseconds.find("BM_NewAndRemoveInstance");
    if (construction != m_nanoseconds.end())
      std::printf("construction: %.1f us (target: under 1000 us)\n", construction->second / 1000.0);
  }

 private:
  struct SideRun {
    double ratio, p10, p90, floor, getter;
  };
  std::map<std::string, double> m_nanoseconds;
  std::set<std::string> m_fromMedian;
  std::map<std::string, std::vector<SideRun>> m_sideBySide;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  reporter.PrintSideBySide();
  CSingleton<CQuarnConfig>::RemoveInstance();
  benchmark::Shutdown();
  return 0;
}
