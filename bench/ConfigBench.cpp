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

#include "config/QuarnConfig.h"
#include "support/FakePlatform.h"
#include "util/DirCom.h"
#include "util/FileUtil.h"
#include "util/LogMessage.h"
#include "util/ToolUtil.h"

namespace fs = std::filesystem;

namespace {

// A fixed machine: an installation in a temporary directory, and a firmware
// table of a typical size, so that every run measures the same work.
class BenchPlatform : public quarn_test::FakePlatform {
 public:
  std::vector<unsigned char> block;
  quarn::sys::FirmwareBlock FirmwareSmbiosBlock() override {
    quarn::sys::FirmwareBlock result;
    result.status = quarn::sys::FirmwareBlock::kOk;
    result.bytes = block;
    return result;
  }
  std::vector<std::string> LocalIPv4Addresses() override { return {"192.0.2.9", "10.20.30.40"}; }
};

struct Machine {
  fs::path root;
  BenchPlatform platform;
  std::unique_ptr<quarn_test::ScopedFakePlatform> use;

  Machine() {
    root = fs::temp_directory_path() / ("quarn-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(root / "client/bin/conf");
    fs::create_directories(root / "globalcfg");
    fs::create_directories(root / "quarn_update");
    std::ofstream(root / "client/bin/conf/cli_config.ini")
        << "current_version=quarn_01_05\ndefaultinstall=standard\nloglevel=4\nmax_cpuuse=25\n"
           "waf_cfg=mode=detect\nsrv_domain=svc-a.example.com|svc-b.example.com\n";
    std::ofstream(root / "globalcfg/domaincfg.ini") << "update_srv_domain=mirror.example.net\n";
    std::ofstream(root / "quarn_update/cur_version.txt") << "update_01_07\n";
    platform.executablePath = (root / "client/bin/agent").generic_string();
    // A 3 KiB table: structures of type 0 and, last, type 1 with a UUID.
    std::vector<unsigned char> table;
    while (table.size() < 3000) {
      const unsigned char structure[] = {2, 8, 0, 0, 1, 2, 3, 4, 'b', 'o', 'a', 'r', 'd', 0, 0};
      table.insert(table.end(), structure, structure + sizeof structure);
    }
    std::vector<unsigned char> system = {1, 27, 1, 0, 1, 2, 3, 4};
    for (int i = 0; i < 16; ++i) system.push_back(static_cast<unsigned char>(i * 17));
    system.insert(system.end(), {6, 0, 0, 'M', 0, 0});
    table.insert(table.end(), system.begin(), system.end());
    table.insert(table.end(), {127, 4, 0xFF, 0xFE, 0, 0});
    const uint32_t length = static_cast<uint32_t>(table.size());
    auto& block = platform.block;
    block = {0, 2, 8, 0, static_cast<unsigned char>(length), static_cast<unsigned char>(length >> 8), 0, 0};
    block.insert(block.end(), table.begin(), table.end());
    use = std::make_unique<quarn_test::ScopedFakePlatform>(platform);
    kqt::CLogMessage::GetInstance()->SetLogLevel(0);
  }
  ~Machine() {
    use.reset();
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
};

Machine& TheMachine() {
  static Machine machine;
  return machine;
}

CQuarnConfig& Config() {
  TheMachine();
  return *CSingleton<CQuarnConfig>::NewInstance();
}

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
    }
    ConsoleReporter::ReportRuns(runs);
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
  std::map<std::string, double> m_nanoseconds;
  std::set<std::string> m_fromMedian;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  CSingleton<CQuarnConfig>::RemoveInstance();
  benchmark::Shutdown();
  return 0;
}
