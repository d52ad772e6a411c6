// What one question to quarncfg costs: the real program, run as a process
// in a laid-out installation, one section at a time. Only the section asked
// for is computed, so the servers' section pays no updater retries and no
// SMBIOS read; the Versions section without an updater record pays the
// library's two reads 500 ms apart, which callers rely on.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Sample {
  fs::path root, program;
  Sample() {
    root = fs::temp_directory_path() / ("quarncfg-bench-" + std::to_string(std::random_device()()));
    const fs::path bin = root / "R/client/bin";
    fs::create_directories(bin / "conf");
    fs::create_directories(root / "R/globalcfg");
    fs::create_directories(root / "R/quarn_update");
    const fs::path built = QUARNCFG_PATH;
    for (const auto& entry : fs::directory_iterator(built.parent_path())) {
      const std::string name = entry.path().filename().string();
      if (name == built.filename().string() || name.find(".so") != std::string::npos)
        fs::copy(entry.path(), bin / name, fs::copy_options::copy_symlinks | fs::copy_options::overwrite_existing);
    }
    program = bin / built.filename();
    std::ofstream(bin / "conf/cli_config.ini") << "defaultinstall=full\nloglevel=3\nsrv_domain=svc.example.org\n";
    std::ofstream(root / "R/globalcfg/domaincfg.ini") << "update_srv_domain=upd.example.org\n";
  }
  ~Sample() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  void SetRecord(bool present) {
    const fs::path record = root / "R/quarn_update/cur_version.txt";
    if (present)
      std::ofstream(record) << "update_01_07\n";
    else
      fs::remove(record);
  }
};

Sample& TheSample() {
  static Sample sample;
  return sample;
}

void Run(benchmark::State& state, const std::string& args, bool record) {
  Sample& sample = TheSample();
  sample.SetRecord(record);
  const std::string command = "'" + sample.program.string() + "' " + args + " >/dev/null 2>&1";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError(("failed: " + command).c_str());
      break;
    }
  }
}

void RegisterAll() {
  for (const char* section : {"Installation", "Settings", "Servers", "Network", "Host", "Hardware", "Versions"})
    benchmark::RegisterBenchmark(
        (std::string("BM_quarncfg_section/") + section).c_str(),
        [section](benchmark::State& state) { Run(state, std::string("--no-resolve --section ") + section, true); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  benchmark::RegisterBenchmark("BM_quarncfg_section/Versions_without_record",
                               [](benchmark::State& state) { Run(state, "--no-resolve --section Versions", false); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(3);
  benchmark::RegisterBenchmark("BM_quarncfg_whole_report",
                               [](benchmark::State& state) { Run(state, "--no-resolve", true); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark(
      "BM_quarncfg_installation_elsewhere",
      [](benchmark::State& state) {
        Run(state, "--no-resolve --installation '" + (TheSample().root / "R").string() + "' --section Settings", true);
      })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
}

}  // namespace

int main(int argc, char** argv) {
  RegisterAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
