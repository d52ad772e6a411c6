// quarncfg: prints what the configuration library sees on this machine, for
// the installation that this program's own directory belongs to.
#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdio>
#include <set>
#include <string>

#include "Bundle.h"
#include "CheckReport.h"
#include "InstallationChoice.h"
#include "InstallationFiles.h"
#include "MachineCollect.h"
#include "Redact.h"
#include "Replay.h"
#include "Report.h"
#include "Sections.h"
#include "SettingsCheck.h"
#include "SmbiosDump.h"
#include "StdoutCapture.h"
#include "config/LayoutRules.h"
#include "config/QuarnConfig.h"
#include "config/QuarnConfigVersion.h"
#include "util/DirCom.h"
#include "util/ToolUtil.h"

namespace {

using Json = nlohmann::ordered_json;

const char kDescription[] =
    "Prints what the configuration library reads for the installation this program lies in (or the one "
    "--installation names): its places, settings, servers, network identity, host, hardware and versions. Loading "
    "the library creates \"globalcfg\" two levels above this program when it is missing (see --no-create).";

std::vector<std::string> SectionTitles() {
  std::vector<std::string> titles;
  for (const SectionFiller& filler : ReportSections()) titles.push_back(filler.title);
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

// Runs `work` with the library's object, or with none when `make` is false
// (nothing is captured then, as the library says nothing).
template <typename Work>
LibraryOutput WithConfig(bool make, Work work) {
  LibraryOutput output;
  if (!make) {
    work(static_cast<CQuarnConfig*>(nullptr));
    return output;
  }
  // Standard output first: its saved descriptor keeps the report whole
  // even where descriptors are scarce (the log then stays on standard
  // error).
  StdoutCapture capture;
  LogCapture log;
  CQuarnConfig* config = CSingleton<CQuarnConfig>::NewInstance();
  work(config);
  CSingleton<CQuarnConfig>::RemoveInstance();
  output.text = capture.Finish();
  output.capturedNothing = capture.WentToStandardError();
  output.logCaptured = log.Captures();
  output.log = log.Finish();
  return output;
}

// `made`: how the library's object was used, "" for the plain run, else
// "yes..." or "no: why".
void AddDiagnostics(Report& report, const LibraryOutput& output, const std::string& made) {
  report.Section("Diagnostics");
  report.Field("library_object_made", "Library object made", made.empty() || made.rfind("yes", 0) == 0,
               made.empty() ? std::string("yes") : made);
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

// quarncfg check: the settings files of the installation (this program's,
// or the one named), or the files named, as the library reads them.
// Nothing is created: the paths come from the library's layout rules.
// Returns the check's exit status.
// How quarncfg check reports: the lowest severity shown and counted, the
// codes left out, and whether to print the findings alone.
struct CheckOptions {
  std::string severity = "warning";
  std::vector<std::string> disabled;
  bool quiet = false;
};

// The check of two files as read, reported with `options`; its exit status.
int CheckFiles(Report& report, const quarn_tools::CheckedFile& settings, const quarn_tools::CheckedFile& overrides,
               const CheckOptions& options) {
  quarn_tools::CheckResult result = quarn_tools::CheckSettings(settings, overrides);
  quarn_tools::Severity lowest = quarn_tools::Severity::kWarning;
  quarn_tools::SeverityFromName(options.severity, lowest);
  result.Keep(lowest, std::set<std::string>(options.disabled.begin(), options.disabled.end()));
  const int status = result.ExitStatus(lowest);
  quarn_tools::AddCheckReport(report, std::move(result), lowest, options.quiet);
  return status;
}

int Check(Report& report, const std::string& executableDir, const std::string& settingsPath,
          const std::string& overridePath, const CheckOptions& options) {
  const quarn::layout::Places places = quarn::layout::DerivePlaces(executableDir);
  std::string settings = settingsPath, overrides = overridePath;
  if (settings.empty()) {
    settings = places.configFile;
    if (overrides.empty()) overrides = places.overrideFile;
  }
  quarn_tools::CheckedFile overrideFile;
  overrideFile.label = "domaincfg.ini";
  if (!overrides.empty()) overrideFile = quarn_tools::ReadCheckedFile(overrides, "domaincfg.ini");
  return CheckFiles(report, quarn_tools::ReadCheckedFile(settings, "cli_config.ini"), overrideFile, options);
}

// The installation to inspect and whether the library's object may be made
// (making it creates R/globalcfg beside this program when that is missing).
Inspection Prepare(const std::string& executableDir, bool elsewhere, bool noCreate, bool resolveServers) {
  Inspection inspection;
  inspection.resolveServers = resolveServers;
  const std::string ownDir = kqt::CToolUtil::GetApplicationDirPath();
  const quarn::layout::Places own = quarn::layout::DerivePlaces(ownDir);
  const bool ownWouldCreate = quarn::layout::ConstructionCreatesGlobalCfg(ownDir, own);
  if (ownWouldCreate && (noCreate || elsewhere))
    inspection.notMadeBecause = "making it would create " + own.globalCfg +
                                (elsewhere ? " beside this program (--installation)" : " (--no-create)");
  inspection.executableDir = executableDir;
  inspection.places = quarn::layout::DerivePlaces(executableDir);
  inspection.fromRules = elsewhere || !inspection.notMadeBecause.empty();
  if (inspection.fromRules) {
    inspection.files = quarn_tools::ReadInstallationFiles(inspection.places);
    inspection.settings = quarn_tools::CheckSettings(inspection.files.settings, inspection.files.overrides);
  }
  const bool wouldCreate =
      elsewhere ? quarn::layout::ConstructionCreatesGlobalCfg(executableDir, inspection.places) : ownWouldCreate;
  using State = Inspection::GlobalCfgState;
  inspection.globalCfgState =
      wouldCreate ? (inspection.fromRules ? State::kWouldBeCreated : State::kCreated) : State::kExisted;
  return inspection;
}

// The report of `inspection` (only `section` when one is named), with the
// library's object where it may be made. False, with a message, when the
// section named needs the object and it was not made.
bool Inspect(Report& report, Inspection& inspection, const std::string& section) {
  const LibraryOutput output = WithConfig(inspection.notMadeBecause.empty(), [&](CQuarnConfig* config) {
    inspection.config = config;
    // Made, the object was to create the directory: whether it could is
    // seen only now.
    if (config && inspection.globalCfgState == Inspection::GlobalCfgState::kCreated &&
        !kqt::CDirCom(config->GetGlobalCfgDir()).exists())
      inspection.globalCfgState = Inspection::GlobalCfgState::kMissing;
    for (const SectionFiller& filler : ReportSections()) {
      if (!section.empty() && !Report::SameTitle(section, filler.title)) continue;
      if (!config && filler.needsObject) continue;
      filler.fill(report, inspection);
    }
    inspection.config = nullptr;
  });
  if (!section.empty() && !Report::SameTitle(section, "Diagnostics") && !report.HasSection(section)) {
    std::fprintf(stderr, "quarncfg: the section %s needs the library's object, which was not made: %s\n",
                 section.c_str(), inspection.notMadeBecause.c_str());
    return false;
  }
  std::string made;
  if (!inspection.notMadeBecause.empty())
    made = "no: " + inspection.notMadeBecause + "; the sections Network, Host and Hardware need it";
  else if (inspection.fromRules)
    made =
        "yes, for this program's own installation: Network, Host, Hardware, the server addresses and the "
        "updater's process id come from it, and its log lines are about that installation";
  AddDiagnostics(report, output, made);
  // Log lines of a section not printed still reach the reader.
  if (!section.empty() && !Report::SameTitle(section, "Diagnostics")) std::fputs(output.log.c_str(), stderr);
  return true;
}

// quarncfg --from-bundle: the report of the machine recorded, worked out
// again by the library's rules, and how it compares with the one recorded.
// Returns the exit status: 1 when a field differs for no reason known.
int Replay(Report& report, const quarn_tools::MachineRecord& record, const std::string& bundlePath,
           const std::string& section) {
  Inspection inspection = quarn_tools::InspectionOfRecord(record);
  const bool objectMade = record.notMadeBecause.empty();
  for (const SectionFiller& filler : ReportSections()) {
    if (!section.empty() && !Report::SameTitle(section, filler.title)) continue;
    if (!objectMade && filler.needsObject) continue;
    filler.fill(report, inspection);
  }
  if (!section.empty() && !Report::SameTitle(section, "Diagnostics") && !report.HasSection(section)) {
    std::fprintf(stderr, "quarncfg: the bundle has no section %s: its library object was not made (%s)\n",
                 section.c_str(), record.notMadeBecause.c_str());
    return 2;
  }
  LibraryOutput output;
  output.text = inspection.replayOutput;
  AddDiagnostics(report, output, "no: replayed from " + bundlePath + " through the library's rules");
  const Json replayed = report.ToJson(section);
  const std::vector<quarn_tools::ReplayDifference> differences =
      quarn_tools::CompareReplay(record.report, replayed, record.redacted);

  Json notCompared = Json::array(), listed = Json::array();
  std::vector<std::string> lines = {"Replayed from " + bundlePath + ", made " + record.madeAt + " by " + record.madeBy +
                                    (record.redacted ? ", redacted" : "")};
  for (const auto& field : quarn_tools::ProcessFields())
    notCompared.push_back({{"field", field.first}, {"why", field.second}});
  bool unexplained = false;
  for (const quarn_tools::ReplayDifference& difference : differences) {
    unexplained = unexplained || difference.why.empty();
    listed.push_back({{"field", difference.field},
                      {"recorded", difference.recorded},
                      {"replayed", difference.replayed},
                      {"why", difference.why.empty() ? Json() : Json(difference.why)}});
    lines.push_back("  " + difference.field + ": recorded " + difference.recorded.dump() + ", replayed " +
                    difference.replayed.dump() + (difference.why.empty() ? ": DIFFERS" : ": " + difference.why));
  }
  lines.insert(lines.begin() + 1,
               differences.empty() ? "Every field equals the recorded report's (the library's object and log "
                                     "belong to the process that made it)"
                                   : std::to_string(differences.size()) + " field(s) differ from the recorded report:");
  report.TopLevel("replay",
                  Json{{"bundle", bundlePath},
                       {"made_by", record.madeBy},
                       {"made_at", record.madeAt},
                       {"redacted", record.redacted},
                       {"equal", differences.empty()},
                       {"differences", listed},
                       {"not_compared", notCompared}},
                  lines, true);
  return unexplained ? 1 : 0;
}

// quarncfg --smbios-dump: the Hardware section of a dump's table.
int HardwareOfDump(Report& report, const std::string& path, const quarn_tools::TableVersion& version) {
  quarn_tools::MachineRecord record;
  std::string form, error;
  if (!quarn_tools::FirmwareOfDump(path, record.firmware, form, error, version)) {
    std::fprintf(stderr, "quarncfg: --smbios-dump: %s\n", error.c_str());
    return 2;
  }
  Inspection inspection;
  inspection.record = &record;
  for (const SectionFiller& filler : ReportSections())
    if (Report::SameTitle(filler.title, "Hardware")) filler.fill(report, inspection);
  report.TopLevel("smbios_dump",
                  Json{{"file", path},
                       {"form", form},
                       {"hypervisor",
                        "none known: a dump carries no CPUID leaves, and a Xen or Microsoft "
                        "hypervisor would have the agent print the UUID as stored"}},
                  {"SMBIOS dump " + path + " (" + form + ")",
                   "A dump carries no CPUID leaves: no hypervisor is assumed (under Xen or Microsoft's the agent "
                   "prints the UUID as stored)"});
  return 0;
}

// quarncfg bundle: this machine's record, written to `path`.
int MakeBundle(const std::string& executableDir, bool elsewhere, const std::string& path, bool redact) {
  Inspection inspection = Prepare(executableDir, elsewhere, true, false);
  Report report;
  if (!Inspect(report, inspection, std::string())) return 3;
  quarn_tools::MachineRecord record = quarn_tools::CollectMachine(inspection, report.ToJson());
  if (redact) quarn_tools::RedactRecord(record);
  const std::string text = quarn_tools::WriteBundle(record);
  std::FILE* out = std::fopen(path.c_str(), "wb");
  bool written = out && std::fwrite(text.data(), 1, text.size(), out) == text.size();
  if (out && std::fclose(out) != 0) written = false;
  if (!written) {
    std::fprintf(stderr, "quarncfg: %s cannot be written\n", path.c_str());
    return 3;
  }
  std::printf("quarncfg: bundle of %s written to %s (%zu bytes%s)\n", inspection.places.root.c_str(), path.c_str(),
              text.size(), redact ? ", redacted" : "");
  return 0;
}

// Whether everything written to standard output reached it. A report
// that could not be written (a full disk, a reader that went away) is a
// failure, not a silent success.
bool WrittenOut() {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  std::fprintf(stderr, "quarncfg: the report could not be written\n");
  return false;
}

int Run(int argc, char** argv) {
  CLI::App app(kDescription, "quarncfg");
  std::string section;
  bool json = false, noResolve = false;
  app.add_option("--section", section, "Print only this section")
      ->check(CLI::IsMember(SectionTitles(), CLI::ignore_case));
  app.add_flag("--json", json, "Print JSON with stable key names instead of text");
  app.add_flag("--no-resolve", noResolve, "Do not look up the servers' names");
  std::string installation;
  bool noCreate = false;
  app.add_option("--installation", installation,
                 "Inspect the installation of DIR instead of this program's: DIR is its executable directory (the one "
                 "holding \"conf\"), or its root when exactly one directory two levels below holds \"conf\". Nothing "
                 "is created, there or beside this program.")
      ->type_name("DIR");
  app.add_flag("--no-create", noCreate,
               "The library creates \"globalcfg\" two levels above the program that loads it when it is missing: "
               "where it would, do not load it; show the installation from its files and say what would be created");
  std::string fromBundle, smbiosDump;
  CLI::Option* fromBundleOption =
      app.add_option("--from-bundle", fromBundle,
                     "Print the report of the machine a bundle (quarncfg bundle) recorded, worked out again through "
                     "the library's rules, and how it compares with the report recorded there (exit status 1 when "
                     "a field differs for no known reason)")
          ->type_name("FILE");
  CLI::Option* smbiosDumpOption =
      app.add_option("--smbios-dump", smbiosDump,
                     "Print the Hardware section of an SMBIOS dump: a dmidecode --dump-bin file, the kernel's "
                     "smbios_entry_point and DMI (their directory), or a Windows RSMB block")
          ->type_name("FILE")
          ->excludes(fromBundleOption);
  quarn_tools::TableVersion tableVersion;
  app.add_option_function<std::string>(
         "--smbios-version",
         [&](const std::string& text) {
           if (!quarn_tools::ParseTableVersion(text, tableVersion))
             throw CLI::ValidationError("--smbios-version", "not a version such as 3.0: " + text);
         },
         "With --smbios-dump of a table alone (the kernel's DMI without smbios_entry_point): the SMBIOS version "
         "to read it as, which the agent's UUID rule needs (dmidecode prints it: \"SMBIOS 3.0 present\")")
      ->type_name("X.Y")
      ->needs(smbiosDumpOption);
  app.set_version_flag("--version", std::string("quarncfg ") + QUARNCONFIG_VERSION_TEXT);

  CLI::App* check = app.add_subcommand(
      "check",
      "Checks cli_config.ini and domaincfg.ini as the library reads them: each key's text, the value used and why; "
      "keys it does not know or never sees; lines it passes over; values and servers that cannot be what was meant. "
      "Findings are printed as PATH:LINE: SEVERITY: MESSAGE [CODE]. Exit status 0: no finding of the severity "
      "asked for (default warning) or above; 1: some; 2: usage error.");
  std::string settingsPath, overridePath;
  check->add_option("settings_file", settingsPath,
                    "The settings file to check (default: this installation's, with its domaincfg.ini)");
  check->add_option("--override", overridePath, "The domain override file to check with it");
  check->add_flag("--json", json, "Print JSON instead of text");
  check->add_option("--installation", installation, "Check the settings files of the installation of DIR")
      ->type_name("DIR");
  CheckOptions checkOptions;
  check->add_flag("--quiet", checkOptions.quiet, "Print the findings alone, and nothing for files without any");
  check
      ->add_option("--severity", checkOptions.severity,
                   "The lowest severity printed and counted for the exit status (default warning)")
      ->check(CLI::IsMember({"error", "warning", "note"}));
  check->add_option("--disable", checkOptions.disabled, "Leave out the findings of these codes (CODE[,CODE...])")
      ->delimiter(',')
      ->check(CLI::IsMember(
          std::vector<std::string>(quarn_tools::FindingCodes().begin(), quarn_tools::FindingCodes().end())))
      ->type_name("CODE");
  check->add_option("--from-bundle", fromBundle, "Check the settings files a bundle recorded")->type_name("FILE");

  CLI::App* bundle = app.add_subcommand(
      "bundle",
      "Writes one file with every input the library's answers come from on this machine, as delivered: the "
      "settings files, the updater's record, the SMBIOS entry point and table, the Windows version values, the "
      "machine name, the local addresses, the hypervisor's CPUID leaves, and the report. Nothing is created or "
      "changed on the machine (as --no-create). quarncfg --from-bundle replays it anywhere.");
  std::string bundlePath;
  bool redact = false;
  bundle->add_option("-o,--output", bundlePath, "The bundle file to write")->required()->type_name("FILE");
  bundle->add_option("--installation", installation, "Record the installation of DIR")->type_name("DIR");
  bundle->add_flag("--redact", redact,
                   "Replace the machine name, the local addresses and the BIOS UUID with placeholders that keep what "
                   "the library's rules see in them");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // --help and --version are written like a report: one that cannot be
    // written is a failure.
    const int code = app.exit(error);
    if (code == 0) return WrittenOut() ? 0 : 4;
    return 2;
  }

  std::string executableDir = kqt::CToolUtil::GetApplicationDirPath();
  if (!installation.empty()) {
    const quarn_tools::ChosenInstallation chosen = quarn_tools::ChooseInstallation(installation);
    if (chosen.executableDir.empty()) {
      std::fprintf(stderr, "quarncfg: --installation: %s\n", chosen.error.c_str());
      return 2;
    }
    executableDir = chosen.executableDir;
  }

  if (bundle->parsed()) return MakeBundle(executableDir, !installation.empty(), bundlePath, redact);
  quarn_tools::MachineRecord record;
  if (!fromBundle.empty()) {
    std::string error;
    if (!quarn_tools::ReadBundleFile(fromBundle, record, error)) {
      std::fprintf(stderr, "quarncfg: --from-bundle %s: %s\n", fromBundle.c_str(), error.c_str());
      return 2;
    }
  }

  Report report(check->parsed() ? Report::kCheckSchemaVersion : Report::kReportSchemaVersion);
  int status = 0;
  if (check->parsed() && !fromBundle.empty()) {
    quarn_tools::CheckedFile settings, overrides;
    settings = quarn_tools::CheckedFile{record.settingsFile.path, "cli_config.ini", record.settingsFile.status,
                                        record.settingsFile.content};
    overrides = quarn_tools::CheckedFile{record.overrideFile.path, "domaincfg.ini", record.overrideFile.status,
                                         record.overrideFile.content};
    status = CheckFiles(report, settings, overrides, checkOptions);
    if (!checkOptions.quiet)
      AddDiagnostics(report, LibraryOutput(),
                     "no: the files recorded in " + fromBundle + ", read by the library's rules");
    section.clear();
  } else if (check->parsed()) {
    status = Check(report, executableDir, settingsPath, overridePath, checkOptions);
    if (!checkOptions.quiet)
      AddDiagnostics(report, LibraryOutput(), "no: quarncfg check reads the files itself, by the library's rules");
    section.clear();
  } else if (!fromBundle.empty()) {
    status = Replay(report, record, fromBundle, section);
    if (status == 2) return 2;
  } else if (!smbiosDump.empty()) {
    if (HardwareOfDump(report, smbiosDump, tableVersion) != 0) return 2;
    section.clear();
  } else {
    Inspection inspection = Prepare(executableDir, !installation.empty(), noCreate, !noResolve);
    if (!Inspect(report, inspection, section)) return 1;
  }

  if (json) {
    report.WriteJson(stdout, section);
  } else {
    report.PrintText(stdout, section);
  }
  return WrittenOut() ? status : 4;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(SIGPIPE)
  // A reader that closes early (quarncfg | head) makes a write fail, which
  // is reported, instead of ending the program by a signal.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  // The report is written whole at the end: in blocks, not a system call
  // per line (Windows' C runtime leaves a console or NUL unbuffered, where a
  // list of a million servers took minutes).
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
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
