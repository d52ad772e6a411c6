// The BIOS UUID of real machines' tables on the Linux path, against its
// floor and against a dmidecode process on the same table.
//
//   in process  CHwInfo::GetSMBiosData (the kernel's two files, read from a
//               copy laid out as /sys/firmware/dmi/tables is) and the
//               UUID's walk and formatting: the work of a first GetBiosUuid
//   floor       the same two files read once each, the System Information
//               structure found, and the hypervisor's CPUID leaf
//   dmidecode   "dmidecode --from-dump FILE -s system-uuid" as a process,
//               on a dump file this program builds from the same table
//
// The in-process figure and its floor are timed side by side (alternating
// rounds); dmidecode, hundreds of times slower, on its own.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/SideBySide.h"
#include "hwinfo/HwInfo.h"
#include "hwinfo/SmbiosAcquisition.h"
#include "hwinfo/SmbiosParsing.h"
#include "hwinfo/platform/FirmwarePlatform.h"
#include "util/platform/ReadFile.h"

namespace fs = std::filesystem;

namespace {

std::vector<unsigned char> Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const fs::path& path, const std::vector<unsigned char>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

unsigned char Checksum(const std::vector<unsigned char>& bytes, size_t from, size_t count) {
  unsigned sum = 0;
  for (size_t i = from; i < from + count && i < bytes.size(); ++i) sum += bytes[i];
  return static_cast<unsigned char>(sum);
}

// An entry point as dmidecode --dump-bin writes it: the table's address
// rewritten to 32, the checksums mended. A table without one gets a 3.0
// entry point (as dmidecode is asked about such tables in the corpus).
std::vector<unsigned char> DumpEntryPoint(std::vector<unsigned char> entry, size_t tableLength) {
  if (entry.size() >= 0x1F && std::equal(entry.begin(), entry.begin() + 4, "_SM_")) {
    entry.resize(0x1F);
    for (int i = 0; i < 4; ++i) entry[0x18 + i] = static_cast<unsigned char>(i == 0 ? 32 : 0);
    entry[0x15] = 0;
    entry[0x15] = static_cast<unsigned char>(-Checksum(entry, 0x10, 0x0F));
    entry[0x04] = 0;
    entry[0x04] = static_cast<unsigned char>(-Checksum(entry, 0, entry[0x05]));
    return entry;
  }
  if (entry.size() < 0x18 || !std::equal(entry.begin(), entry.begin() + 5, "_SM3_")) {
    entry.assign(0x18, 0);
    std::copy_n("_SM3_", 5, entry.begin());
    entry[0x06] = 0x18;
    entry[0x07] = 3;
    entry[0x0A] = 1;
    for (int i = 0; i < 4; ++i) entry[0x0C + i] = static_cast<unsigned char>(tableLength >> (8 * i));
  }
  entry.resize(0x18);
  for (int i = 0; i < 8; ++i) entry[0x10 + i] = static_cast<unsigned char>(i == 0 ? 32 : 0);
  entry[0x05] = 0;
  entry[0x05] = static_cast<unsigned char>(-Checksum(entry, 0, entry[0x06]));
  return entry;
}

// Each corpus table laid out twice in a temporary directory: as the kernel
// publishes it (NAME/smbios_entry_point, NAME/DMI) and as a dmidecode dump
// (NAME.dump).
struct Corpus {
  fs::path root;
  std::vector<std::string> names;
  Corpus() {
    root = fs::temp_directory_path() / ("quarn-firmware-bench-" + std::to_string(std::random_device{}()));
    const fs::path shared = QUARN_SMBIOS_TESTDATA;
    if (!fs::is_directory(shared)) return;
    for (const auto& item : fs::directory_iterator(shared)) {
      if (!item.is_directory() || !fs::exists(item.path() / "DMI")) continue;
      const std::string name = item.path().filename().string();
      const std::vector<unsigned char> table = Bytes(item.path() / "DMI");
      std::vector<unsigned char> entry;
      if (fs::exists(item.path() / "smbios_entry_point")) entry = Bytes(item.path() / "smbios_entry_point");
      entry = DumpEntryPoint(entry, table.size());
      fs::create_directories(root / name);
      Write(root / name / "smbios_entry_point", entry);
      Write(root / name / "DMI", table);
      std::vector<unsigned char> dump = entry;
      dump.resize(32, 0);
      dump.insert(dump.end(), table.begin(), table.end());
      Write(root / (name + ".dump"), dump);
      names.push_back(name);
    }
    std::sort(names.begin(), names.end());
  }
  ~Corpus() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
};

Corpus& TheCorpus() {
  static Corpus corpus;
  return corpus;
}

// The real platform, with the kernel's directory moved to a copy.
class PublishedCopy : public quarn::sys::FirmwarePlatform {
 public:
  std::string dir;
  bool HasFirmwareTableService() override { return true; }
  quarn::sys::FirmwareBlock FirmwareSmbiosBlock() override { return quarn::sys::ReadPublishedTables(dir); }
  quarn::sys::CpuidRegisters Cpuid(std::uint32_t leaf) override {
    return quarn::sys::NativeFirmwarePlatform().Cpuid(leaf);
  }
};

std::string InProcessUuid() {
  std::vector<unsigned char> buffer(0x10000, 0);
  int size = static_cast<int>(buffer.size());
  CHwInfo::GetSMBiosData(buffer.data(), &size);
  if (size > static_cast<int>(buffer.size())) {
    buffer.assign(static_cast<size_t>(size), 0);
    CHwInfo::GetSMBiosData(buffer.data(), &size);
  }
  return CHwInfo(buffer.data(), static_cast<int>(buffer.size())).GetMachineid();
}

size_t FloorWork(const std::string& dir) {
  std::string entry, table;
  kqt::sys::ReadRegularFile(dir + "/smbios_entry_point", 64, entry);
  kqt::sys::ReadRegularFile(dir + "/DMI", std::size_t{16} << 20, table);
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(table.data());
  const unsigned char* system = quarn::smbios::FindStructure(bytes, table.size(), 1);
  const quarn::sys::CpuidRegisters hypervisor = quarn::sys::NativeFirmwarePlatform().Cpuid(0x40000000u);
  return static_cast<size_t>(system ? system - bytes : 0) + entry.size() + hypervisor.ebx;
}

void BM_Uuid_SideBySide(benchmark::State& state, const std::string& name) {
  PublishedCopy platform;
  platform.dir = (TheCorpus().root / name).string();
  quarn::sys::FirmwarePlatform* before = quarn::sys::SetFirmwarePlatformForTesting(&platform);
  const quarn_bench::SideBySideFigures figures = quarn_bench::TimeSideBySide(
      state, [&] { return FloorWork(platform.dir); }, InProcessUuid);
  quarn::sys::SetFirmwarePlatformForTesting(before);
  state.counters["uuid_us"] = figures.subjectNs / 1000;
  state.counters["floor_us"] = figures.floorNs / 1000;
}

void BM_Uuid_Dmidecode(benchmark::State& state, const std::string& name) {
  const std::string command =
      "dmidecode --from-dump '" + (TheCorpus().root / (name + ".dump")).string() + "' -s system-uuid >/dev/null 2>&1";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("dmidecode failed (is it installed?)");
      break;
    }
  }
}

// Keeps each table's figures and prints them side by side at the end.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      const std::string name = run.run_name.str();
      const std::string::size_type slash = name.find('/');
      const std::string table = name.substr(slash + 1, name.find('/', slash + 1) - slash - 1);
      if (name.rfind("BM_Uuid_SideBySide/", 0) == 0) {
        Figures& figures = m_tables[table];
        figures.uuid = run.counters.at("uuid_us");
        figures.floor = run.counters.at("floor_us");
        figures.ratio = run.counters.at("ratio");
        figures.p10 = run.counters.at("ratio_p10");
        figures.p90 = run.counters.at("ratio_p90");
      } else if (name.rfind("BM_Uuid_Dmidecode/", 0) == 0 && !run.error_occurred) {
        m_tables[table].dmidecode = run.GetAdjustedRealTime() * 1000.0;  // ms to us
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintSummary() const {
    std::printf("\n%-26s %9s %9s %7s %7s %7s %12s %9s  %s\n", "table", "uuid us", "floor us", "ratio", "p10", "p90",
                "dmidecode us", "speed-up", "targets 1.3x, 100x");
    for (const auto& entry : m_tables) {
      const Figures& f = entry.second;
      const double speedup = f.uuid > 0 ? f.dmidecode / f.uuid : 0;
      std::printf("%-26s %9.1f %9.1f %7.3f %7.3f %7.3f %12.0f %9.0f  %s\n", entry.first.c_str(), f.uuid, f.floor,
                  f.ratio, f.p10, f.p90, f.dmidecode, speedup,
                  f.ratio <= 1.3 && speedup >= 100 ? "" : (f.dmidecode > 0 ? "MISSED" : "MISSED (no dmidecode)"));
    }
  }

 private:
  struct Figures {
    double uuid = 0, floor = 0, ratio = 0, p10 = 0, p90 = 0, dmidecode = 0;
  };
  std::map<std::string, Figures> m_tables;
};

}  // namespace

int main(int argc, char** argv) {
  Corpus& corpus = TheCorpus();
  if (corpus.names.empty()) {
    std::fprintf(stderr, "firmware bench: no SMBIOS corpus at %s: nothing to measure\n", QUARN_SMBIOS_TESTDATA);
    return 0;
  }
  for (const std::string& name : corpus.names) {
    benchmark::RegisterBenchmark(("BM_Uuid_SideBySide/" + name).c_str(),
                                 [name](benchmark::State& state) { BM_Uuid_SideBySide(state, name); });
    benchmark::RegisterBenchmark(("BM_Uuid_Dmidecode/" + name).c_str(),
                                 [name](benchmark::State& state) { BM_Uuid_Dmidecode(state, name); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
