// quarncfg: prints what the configuration library sees on this machine, for
// the installation that this program's own directory belongs to.
#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdio>
#include <string>

#include "Report.h"
#include "Sections.h"
#include "SettingsCheck.h"
#include "StdoutCapture.h"
#include "config/QuarnConfig.h"

namespace {

using Json = nlohmann::ordered_json;

const char kDescription[] =
    "Prints what the configuration library reads for the installation this program lies in: its places, "
    "settings, servers, network identity, host, hardware and versions.";

// The sections in their order, each with what fills it. Only the sections
// asked for are computed: a question about the servers costs no updater
// retries and no hardware read.
struct SectionFiller {
  const char* title;
  void (*fill)(Report&, CQuarnConfig&, const SectionOptions&);
};
const SectionFiller kFillers[] = {
    {"Installation", AddInstallation}, {"Settings", AddSettings}, {"Servers", AddServers},
    {"Network", AddNetwork},           {"Host", AddHost},         {"Hardware", AddHardware},
    {"Versions", AddVersions},
};

std::vector<std::string> SectionTitles() {
  std::vector<std::string> titles;
  for (const SectionFiller& filler : kFillers) titles.push_back(filler.title);
  titles.push_back("Diagnostics");
  return titles;
}

// Splits captured output into its lines, line ends dropped.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      if (!line.empty()) lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// What the library printed to standard output while a configuration object
// lived: kept apart from the report and shown in a section of its own.
struct LibraryOutput {
  std::string text;
  bool capturedNothing = false;
  std::string log;          // the logger's lines
  bool logCaptured = true;  // false: the lines went to standard error
};

template <typename Work>
LibraryOutput WithConfig(Work work) {
  LibraryOutput output;
  // Standard output first: its saved descriptor keeps the report whole
  // even where descriptors are scarce (the log then stays on standard
  // error).
  StdoutCapture capture;
  LogCapture log;
  CQuarnConfig* config = CSingleton<CQuarnConfig>::NewInstance();
  work(*config);
  CSingleton<CQuarnConfig>::RemoveInstance();
  output.text = capture.Finish();
  output.capturedNothing = capture.WentToStandardError();
  output.logCaptured = log.Captures();
  output.log = log.Finish();
  return output;
}

void AddDiagnostics(Report& report, const LibraryOutput& output) {
  report.Section("Diagnostics");
  if (output.capturedNothing)
    report.Field("library_output", "Library output", Json::array(),
                 "(not captured: no file could be made for it; it went to standard error)");
  else
    report.Field("library_output", "Library output", Lines(output.text));
  if (output.logCaptured)
    report.Field("library_log", "Library log", Lines(output.log));
  else
    report.Field("library_log", "Library log", Json::array(),
                 "(not captured: no file could be made for it; it went to standard error)");
}

// quarncfg check: the settings files of this installation, or the files
// named, as the library reads them. Returns the check's exit status.
int Check(Report& report, const std::string& settingsPath, const std::string& overridePath) {
  std::string settings = settingsPath, overrides = overridePath;
  LibraryOutput output;
  if (settings.empty()) {
    output = WithConfig([&](CQuarnConfig& config) {
      settings = config.GetConfigFilePath();
      if (overrides.empty()) overrides = config.GetGlobalCfgDir() + "/domaincfg.ini";
    });
  }
  quarn_tools::CheckedFile overrideFile;
  overrideFile.label = "domaincfg.ini";
  if (!overrides.empty()) overrideFile = quarn_tools::ReadCheckedFile(overrides, "domaincfg.ini");
  const quarn_tools::CheckResult result =
      quarn_tools::CheckSettings(quarn_tools::ReadCheckedFile(settings, "cli_config.ini"), overrideFile);
  quarn_tools::AddCheckSections(report, result);
  AddDiagnostics(report, output);
  return result.ExitStatus();
}

int Run(int argc, char** argv) {
  CLI::App app(kDescription, "quarncfg");
  std::string section;
  bool json = false, noResolve = false;
  app.add_option("--section", section, "Print only this section")
      ->check(CLI::IsMember(SectionTitles(), CLI::ignore_case));
  app.add_flag("--json", json, "Print JSON with stable key names instead of text");
  app.add_flag("--no-resolve", noResolve, "Do not look up the servers' names");
  app.set_version_flag("--version", std::string("quarncfg ") + QUARN_VERSION_TEXT);

  CLI::App* check = app.add_subcommand(
      "check",
      "Checks cli_config.ini and domaincfg.ini as the library reads them: each key's text, the value used and why; "
      "keys it does not know or never sees; lines it passes over. Exit status 0: nothing wrong; 1: errors or "
      "warnings; 2: usage error.");
  std::string settingsPath, overridePath;
  check->add_option("settings_file", settingsPath,
                    "The settings file to check (default: this installation's, with its domaincfg.ini)");
  check->add_option("--override", overridePath, "The domain override file to check with it");
  check->add_flag("--json", json, "Print JSON instead of text");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error);
    return code == 0 ? 0 : 2;
  }

  Report report;
  int status = 0;
  if (check->parsed()) {
    status = Check(report, settingsPath, overridePath);
    section.clear();
  } else {
    const SectionOptions options{!noResolve};
    const LibraryOutput output = WithConfig([&](CQuarnConfig& config) {
      for (const SectionFiller& filler : kFillers)
        if (section.empty() || Report::SameTitle(section, filler.title)) filler.fill(report, config, options);
    });
    AddDiagnostics(report, output);
    // Log lines of a section not printed still reach the reader.
    if (!section.empty() && !Report::SameTitle(section, "Diagnostics")) std::fputs(output.log.c_str(), stderr);
  }

  if (json) {
    std::printf("%s\n", report.Json(section).dump(2).c_str());
  } else {
    report.PrintText(stdout, section);
  }
  // A report that could not be written (a full disk, a reader that went
  // away) is a failure, not a silent success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "quarncfg: the report could not be written\n");
    return 4;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(SIGPIPE)
  // A reader that closes early (quarncfg | head) makes a write fail, which
  // is reported, instead of ending the program by a signal.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  // An error inside is reported, never an abort.
  try {
    return Run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quarncfg: %s\n", error.what());
  } catch (...) {
    std::fprintf(stderr, "quarncfg: unexpected failure\n");
  }
  return 3;
}
