// The worst case of a settings file: for each shape that costs a reader
// most for its size (tests/support/WorstCaseShapes.h), as cli_config.ini
// and as domaincfg.ini, the time of making the configuration object (which
// reads both), of one ReadConfig, and of `quarncfg check` as a process,
// each beside a plain file of the same size, with the peak of memory; then
// the inspector's JSON report of the installation, a support bundle of it
// and that bundle's replay, each as a process.
//
//   quarn_worstcase [--bytes N] [--repeat N] [--only NAME] [--quarncfg PATH]
//
// Times are the fastest of the repeats. The goal: every shape within 3x
// the plain file's time, in every column, and memory in proportion to the
// file's size. Then bundles made hostile by hand (a recorded report of many
// list items or undecodable texts, a section of unknown fields): the
// replay's peak of memory against the bundle's size (the goal: at most 10
// times it, above what the replay of a plain bundle holds).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "bench/MemoryInUse.h"
#include "bench/platform/ChildRun.h"
#include "config/QuarnConfig.h"
#include "config/SettingsRules.h"
#include "support/TempInstallation.h"
#include "support/WorstCaseShapes.h"
#include "util/LogMessage.h"
#include "util/ToolUtil.h"

namespace {

#if defined(_WIN32)
const char kExeSuffix[] = ".exe";
// The libraries' allocations do not pass through this program's operator
// new on Windows: the peak in the process is not measured there.
const bool kPeakInProcess = false;
#else
const char kExeSuffix[] = "";
const bool kPeakInProcess = true;
#endif

struct Options {
  std::size_t bytes = quarn::settings::kMostFileBytes;
  int repeat = 3;
  std::string only;
  std::string quarncfg = kqt::CToolUtil::GetApplicationDirPath() + "/quarncfg" + kExeSuffix;
};

// An installation in a temporary directory, with the updater's record.
struct Installation : quarn_test::TempInstallation {
  std::string settings = settingsPath(), overrides = overridePath();
  quarn_test::TempDir scratch;  // the bundle, outside the installation
  Installation() {
    WriteUpdaterRecord("update_01_07\n");
    WriteDomainOverride("");
    kqt::CLogMessage::GetInstance()->SetLogLevel(0);
  }
  void Write(const std::string& settingsText, const std::string& overrideText) const {
    WriteSettings(settingsText);
    WriteDomainOverride(overrideText);
  }
};

struct Figures {
  double construct = 0, read = 0, check = 0;  // seconds, the fastest run
  std::size_t constructPeak = 0;              // bytes above what was in use before
  std::uint64_t checkPeak = 0;                // the process's peak
  int checkStatus = -1;
  quarn_bench::ChildRun report, bundle, replay;  // the fastest run of each
  std::uint64_t bundleBytes = 0;
};

// Keeps the faster of two runs, and the higher peak.
void KeepFastest(quarn_bench::ChildRun& kept, const quarn_bench::ChildRun& run) {
  const std::uint64_t peak = std::max(kept.peakBytes, run.peakBytes);
  if (!kept.started || (run.started && run.seconds < kept.seconds)) kept = run;
  kept.peakBytes = peak;
}

std::uint64_t FileSize(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  return file ? static_cast<std::uint64_t>(file.tellg()) : 0;
}

double Seconds(std::chrono::steady_clock::duration span) { return std::chrono::duration<double>(span).count(); }

Figures Measure(const Installation& installation, const Options& options) {
  using Clock = std::chrono::steady_clock;
  Figures figures;
  figures.construct = figures.read = figures.check = 1e9;
  for (int i = 0; i < options.repeat; ++i) {
    const std::size_t before = quarn_bench::MarkMemoryPeak();
    const Clock::time_point start = Clock::now();
    CQuarnConfig& config = *CSingleton<CQuarnConfig>::NewInstance();
    figures.construct = std::min(figures.construct, Seconds(Clock::now() - start));
    figures.constructPeak = std::max(figures.constructPeak, quarn_bench::MemoryPeak() - before);
    const Clock::time_point read = Clock::now();
    config.ReadConfig(installation.settings);
    figures.read = std::min(figures.read, Seconds(Clock::now() - read));
    CSingleton<CQuarnConfig>::RemoveInstance();
    kqt::CLogMessage::GetInstance()->SetLogLevel(0);  // the file may have set it

    const quarn_bench::ChildRun run =
        quarn_bench::RunChild(options.quarncfg, {"check", installation.settings, "--override", installation.overrides});
    figures.check = std::min(figures.check, run.seconds);
    figures.checkPeak = std::max(figures.checkPeak, run.peakBytes);
    figures.checkStatus = run.started ? run.exitCode : -1;

    KeepFastest(figures.report, quarn_bench::RunChild(options.quarncfg, {"--installation", installation.root(),
                                                                         "--json", "--no-resolve"}));
    const std::string bundle = installation.scratch.path() + "/machine.json";
    KeepFastest(figures.bundle, quarn_bench::RunChild(options.quarncfg,
                                                      {"bundle", "--installation", installation.root(), "-o", bundle}));
    figures.bundleBytes = FileSize(bundle);
    KeepFastest(figures.replay, quarn_bench::RunChild(options.quarncfg, {"--from-bundle", bundle, "--json"}));
  }
  return figures;
}

std::string Ratio(double value, double yardstick) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2fx", yardstick > 0 ? value / yardstick : 0.0);
  return text;
}

std::string PerByte(double bytes, std::size_t fileBytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", fileBytes ? bytes / static_cast<double>(fileBytes) : 0.0);
  return text;
}

std::string Megabytes(const quarn_bench::ChildRun& run) {
  if (!run.peakBytes) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(run.peakBytes) / 1e6);
  return text;
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The plain installation's bundle with `count` entries put into its recorded
// report where `anchor` opens a list or an object, each made by `entry`.
template <typename Entry>
std::string Inflated(const std::string& bundle, const std::string& anchor, std::size_t count, Entry entry) {
  const std::size_t at = bundle.find(anchor);
  if (at == std::string::npos) return bundle;
  std::string inserted;
  for (std::size_t i = 0; i < count; ++i) inserted += entry(i) + ",";
  const bool empty = bundle[at + anchor.size()] == ']' || bundle[at + anchor.size()] == '}';
  if (empty && !inserted.empty()) inserted.pop_back();
  return bundle.substr(0, at + anchor.size()) + inserted + bundle.substr(at + anchor.size());
}

// The plain bundle with a list of `count` copies of `shape` put into a member
// outside its report (read as a document, where a value costs the most).
std::string Shaped(const std::string& bundle, const std::string& shape, std::size_t count) {
  const std::string anchor = "\"network\": {";
  const std::size_t at = bundle.find(anchor);
  if (at == std::string::npos) return bundle;
  std::string list = "\"shape\":[";
  for (std::size_t i = 0; i < count; ++i) list += (i ? "," : "") + shape;
  return bundle.substr(0, at + anchor.size()) + list + "]," + bundle.substr(at + anchor.size());
}

// Bundles a hand made hostile: the replay's peak of memory in proportion to
// the bundle's size, against 10 times its size above what the replay of the
// plain bundle holds. True when a replay crashed or did not run.
bool HostileBundles(Installation& installation, const Options& options) {
  installation.Write("defaultinstall=standard\n", "");
  const std::string plainPath = installation.scratch.path() + "/plain.json";
  quarn_bench::RunChild(options.quarncfg, {"bundle", "--installation", installation.root(), "-o", plainPath});
  std::ifstream in(plainPath, std::ios::binary);
  const std::string plain((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const quarn_bench::ChildRun base = quarn_bench::RunChild(options.quarncfg, {"--from-bundle", plainPath, "--json"});
  // Entries of about 5, 30 and 40 bytes: as many as fill about 64 times the
  // settings files' size (64 MiB at 1 MiB).
  const std::size_t bytes = options.bytes * 64;
  // The shapes of values, each about 10 times the settings files' size.
  const std::size_t shapeBytes = options.bytes * 10;
  char pointer[64];
  // Each made when its turn comes, and let go before the replay runs: a
  // child's peak counts what this process held when it started it.
  const struct {
    const char* name;
    std::function<std::string()> make;
  } cases[] = {
      {"list of items in a recorded field",
       [&] {
         return Inflated(plain, "\"service_servers\":[", bytes / 5, [](std::size_t) { return std::string("\"a\""); });
       }},
      {"undecodable texts recorded",
       [&] {
         return Inflated(plain, "\"undecodable_texts\":{", bytes / 40, [&pointer](std::size_t i) {
           std::snprintf(pointer, sizeof pointer, "\"/servers/service_servers/%09zu\":\"ff\"", i);
           return std::string(pointer);
         });
       }},
      {"unknown fields in a section (refused)",
       [&] {
         return Inflated(plain, "\"servers\":{", bytes / 30, [&pointer](std::size_t i) {
           std::snprintf(pointer, sizeof pointer, "\"a%09zu\":0", i);
           return std::string(pointer);
         });
       }},
      {"empty objects (refused)", [&] { return Shaped(plain, "{}", shapeBytes / 3); }},
      {"empty arrays (refused)", [&] { return Shaped(plain, "[]", shapeBytes / 3); }},
      {"nesting 8 deep (refused)", [&] { return Shaped(plain, "[[[[[[[[]]]]]]]]", shapeBytes / 17); }},
      {"short strings (refused)", [&] { return Shaped(plain, "\"a\"", shapeBytes / 4); }},
      {"small numbers (refused)", [&] { return Shaped(plain, "1", shapeBytes / 2); }},
  };
  std::printf("\nhostile bundles: the replay's peak above the plain bundle's (%.1f MB), against the bundle's size\n",
              static_cast<double>(base.peakBytes) / 1e6);
  std::printf("%-40s %10s %10s %9s %8s %7s\n", "bundle", "MB", "replay", "peak MB", "peak/B", "status");
  bool missed = false, failed = false;
  for (const auto& c : cases) {
    const std::string path = installation.scratch.path() + "/hostile.json";
    std::string text = c.make();
    const double size = static_cast<double>(text.size());
    WriteText(path, text);
    text = std::string();
    const quarn_bench::ChildRun run = quarn_bench::RunChild(options.quarncfg, {"--from-bundle", path, "--json"});
    const double above = run.peakBytes > base.peakBytes ? static_cast<double>(run.peakBytes - base.peakBytes) : 0.0;
    const double perByte = above / size;
    const bool over = run.peakBytes && perByte > 10;
    missed = missed || over;
    failed = failed || !run.started || run.exitCode > 2;
    std::printf("%-40s %10.1f %8.1fms %9s %8.2f %7d%s\n", c.name, size / 1e6, run.seconds * 1e3, Megabytes(run).c_str(),
                perByte, run.exitCode, over ? "  MISSED 10x" : "");
  }
  std::printf("%s\n",
              missed ? "some hostile bundle missed the bound" : "every hostile bundle within 10 times its size");
  // The bound is a figure to read; a replay that crashed or did not run is a fault.
  return failed;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const bool hasValue = i + 1 < argc;
    if (argument == "--bytes" && hasValue)
      options.bytes = std::min<std::size_t>(std::strtoul(argv[++i], nullptr, 10), quarn::settings::kMostFileBytes);
    else if (argument == "--repeat" && hasValue)
      options.repeat = std::max(1, std::atoi(argv[++i]));
    else if (argument == "--only" && hasValue)
      options.only = argv[++i];
    else if (argument == "--quarncfg" && hasValue)
      options.quarncfg = argv[++i];
    else {
      std::fprintf(stderr, "usage: quarn_worstcase [--bytes N] [--repeat N] [--only NAME] [--quarncfg PATH]\n");
      return 2;
    }
  }

  Installation installation;
  const std::string small = "defaultinstall=standard\n";
  // What the check's process holds for files of nothing: its peak above
  // this is what the file costs.
  installation.Write(small, "");
  const std::uint64_t baseline = Measure(installation, options).checkPeak;

  std::printf("settings files of %zu bytes at most; fastest of %d; check peak above %.1f MB for an empty file\n",
              options.bytes, options.repeat, static_cast<double>(baseline) / 1e6);
  std::printf("%-24s %-8s %8s %10s %7s %10s %7s %9s %10s %7s %9s %7s\n", "shape", "file", "bytes", "construct", "ratio",
              "ReadConfig", "ratio", "peak B/B", "check", "ratio", "check MB", "B/B");
  bool missed = false, replayFailed = false;
  std::vector<std::string> inspectorLines;
  for (const char* place : {"settings", "override"}) {
    double plainConstruct = 0, plainRead = 0, plainCheck = 0;
    Figures plain;
    for (const quarn_test::SettingsShape& shape : quarn_test::SettingsShapes()) {
      const bool isPlain = std::strcmp(shape.name, "plain") == 0;
      if (!options.only.empty() && !isPlain && options.only != shape.name) continue;
      const std::string content = shape.make(options.bytes);
      const bool inOverride = std::strcmp(place, "override") == 0;
      installation.Write(inOverride ? small : content, inOverride ? content : "");
      const Figures figures = Measure(installation, options);
      if (isPlain) {
        plainConstruct = figures.construct;
        plainRead = figures.read;
        plainCheck = figures.check;
        plain = figures;
      }
      const double worst =
          std::max({figures.construct / plainConstruct, figures.read / plainRead, figures.check / plainCheck});
      const bool over = !isPlain && worst > 3;
      missed = missed || over;
      const double checkAbove = figures.checkPeak > baseline ? static_cast<double>(figures.checkPeak - baseline) : 0.0;
      char checkPeak[32] = "-";
      if (figures.checkPeak && baseline)
        std::snprintf(checkPeak, sizeof checkPeak, "%.1f", static_cast<double>(figures.checkPeak) / 1e6);
      std::printf("%-24s %-8s %8zu %8.1fms %7s %8.1fms %7s %9s %8.1fms %7s %9s %7s%s%s\n", shape.name, place,
                  content.size(), figures.construct * 1e3, Ratio(figures.construct, plainConstruct).c_str(),
                  figures.read * 1e3, Ratio(figures.read, plainRead).c_str(),
                  kPeakInProcess ? PerByte(static_cast<double>(figures.constructPeak), content.size()).c_str() : "-",
                  figures.check * 1e3, Ratio(figures.check, plainCheck).c_str(), checkPeak,
                  figures.checkPeak && baseline ? PerByte(checkAbove, content.size()).c_str() : "-",
                  over ? "  MISSED 3x" : "", figures.checkStatus < 0 ? "  (check did not run)" : "");

      // The replay of a bundle the inspector made must read it and agree.
      const bool replayBad = !figures.replay.started || figures.replay.exitCode != 0;
      replayFailed = replayFailed || replayBad;
      const double inspectorWorst =
          std::max({figures.report.seconds / plain.report.seconds, figures.bundle.seconds / plain.bundle.seconds,
                    figures.replay.seconds / plain.replay.seconds});
      const bool inspectorOver = !isPlain && inspectorWorst > 3;
      missed = missed || inspectorOver;
      char line[320];
      std::snprintf(line, sizeof line, "%-24s %-8s %8zu %8.1fms %7s %9s %8.1fms %7s %9.1f %9s %8.1fms %7s %9s%s%s",
                    shape.name, place, content.size(), figures.report.seconds * 1e3,
                    Ratio(figures.report.seconds, plain.report.seconds).c_str(), Megabytes(figures.report).c_str(),
                    figures.bundle.seconds * 1e3, Ratio(figures.bundle.seconds, plain.bundle.seconds).c_str(),
                    static_cast<double>(figures.bundleBytes) / 1e3, Megabytes(figures.bundle).c_str(),
                    figures.replay.seconds * 1e3, Ratio(figures.replay.seconds, plain.replay.seconds).c_str(),
                    Megabytes(figures.replay).c_str(), inspectorOver ? "  MISSED 3x" : "",
                    replayBad ? ("  REPLAY STATUS " + std::to_string(figures.replay.exitCode)).c_str() : "");
      inspectorLines.push_back(line);
    }
  }
  std::printf(
      "\nquarncfg on the same installations: the JSON report (--installation), a bundle, and its replay "
      "(processes)\n");
  std::printf("%-24s %-8s %8s %10s %7s %9s %10s %7s %9s %9s %10s %7s %9s\n", "shape", "file", "bytes", "report",
              "ratio", "report MB", "bundle", "ratio", "bundle KB", "bundle MB", "replay", "ratio", "replay MB");
  for (const std::string& line : inspectorLines) std::printf("%s\n", line.c_str());
  std::printf("%s\n", missed ? "some shape took more than 3x the plain file's time" : "every shape within 3x");
  std::printf("%s\n", replayFailed ? "some bundle did not replay equal" : "every bundle replayed equal");
  const bool hostileFailed = HostileBundles(installation, options);
  return replayFailed || hostileFailed ? 1 : 0;
}
