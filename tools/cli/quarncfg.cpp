// quarncfg: prints what the configuration library sees on this machine, for
// the installation that this program's own directory belongs to; checks
// settings files; records a machine in a bundle and replays one.
#include <csignal>
#include <cstdio>
#include <new>
#include <set>
#include <string>

#include "bundle/Bundle.h"
#include "bundle/Crypto.h"
#include "bundle/InstallationFiles.h"
#include "bundle/LiveAnswers.h"
#include "bundle/MachineCollect.h"
#include "bundle/Redact.h"
#include "bundle/Replay.h"
#include "bundle/SmbiosDump.h"
#include "bundle/StdoutCapture.h"
#include "cli/InstallationChoice.h"
#include "cli/Options.h"
#include "config/QuarnConfig.h"
#include "lint/CheckReport.h"
#include "report/Sections.h"
#include "report/Terminal.h"
#include "report/Utf8Text.h"
#include "util/DirCom.h"
#include "util/ToolUtil.h"

namespace quarn_tools {
namespace {

using Json = nlohmann::ordered_json;

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

// Whether `only` names a section other than Diagnostics that the report
// lacks: one that needs the machine, which was not answered.
bool LacksSection(const Report& report, const std::string& only) {
  return !only.empty() && !Report::SameTitle(only, kDiagnosticsTitle) && !report.HasSection(only);
}

// The report of the installation planned (only `section` when one is
// named), with the library's object where it may be made. False, with a
// message, when the section named needs the object and it was not made.
bool Inspect(Report& report, InspectionPlan& plan, const std::string& section) {
  const LibraryOutput output = WithConfig(plan.notMadeBecause.empty(), [&](CQuarnConfig* config) {
    // Made, the object was to create the directory: whether it could is
    // seen only now.
    if (config && plan.globalCfgState == GlobalCfgState::kCreated && !kqt::CDirCom(config->GetGlobalCfgDir()).exists())
      plan.globalCfgState = GlobalCfgState::kMissing;
    LiveAnswers answers(plan, config);
    AddSections(report, answers, section);
  });
  if (LacksSection(report, section)) {
    PrintError("the section " + section +
               " needs the library's object, which was not made: " + Printable(plan.notMadeBecause));
    return false;
  }
  std::string made;
  if (!plan.notMadeBecause.empty())
    made = "no: " + plan.notMadeBecause + "; the sections Network, Host and Hardware need it";
  else if (plan.fromRules)
    made =
        "yes, for this program's own installation: Network, Host, Hardware, the server addresses and the "
        "updater's process id come from it, and its log lines are about that installation";
  AddDiagnostics(report, output, made);
  // Log lines of a section not printed still reach the reader.
  if (!section.empty() && !Report::SameTitle(section, kDiagnosticsTitle)) {
    std::string log;
    AppendPrintable(log, output.log, true);
    std::fputs(log.c_str(), stderr);
  }
  return true;
}

// A value of a difference as the text form shows it: its JSON, cut.
std::string Shown(const std::string& json) {
  const std::size_t kMostShown = 200;
  if (json.size() <= kMostShown) return json;
  return json.substr(0, kMostShown) + "... (" + std::to_string(json.size()) + " bytes)";
}

// What a bundle's digest says of its content, for people and in JSON.
std::string ContentLine(const MachineRecord& record) {
  if (!record.digestRecorded) return "The bundle records no digest of its content (made by an earlier quarncfg)";
  if (record.digestMatches) return std::string();
  return "The bundle was changed after it was made: its content no longer matches the digest recorded then "
         "(SHA-256, which tells accidents and hand edits, not a forger)";
}

// How a replay compares with the report recorded: a top-level member of the
// report, written as JSON text (a difference's values can be large). Returns
// the exit status: 1 when a field differs for no reason known, or the
// bundle was changed after it was made.
int AddComparison(Report& report, const MachineRecord& record, const std::string& bundlePath,
                  const std::vector<ReplayDifference>& differences) {
  std::vector<std::string> lines = {"Replayed from " + bundlePath + ", made " + record.madeAt + " by " + record.madeBy +
                                    (record.redacted ? ", redacted" : "")};
  if (!ContentLine(record).empty()) lines.push_back(ContentLine(record));
  lines.push_back(differences.empty()
                      ? "Every field equals the recorded report's (the library's object and log "
                        "belong to the process that made it)"
                      : std::to_string(differences.size()) + " field(s) differ from the recorded report:");
  bool unexplained = record.digestRecorded && !record.digestMatches;
  std::string listed;
  for (const ReplayDifference& difference : differences) {
    unexplained = unexplained || difference.why.empty();
    listed += std::string(listed.empty() ? "" : ",") + "{\"field\":" + Json(difference.field).dump() +
              ",\"recorded\":" + difference.recorded + ",\"replayed\":" + difference.replayed +
              ",\"why\":" + (difference.why.empty() ? Json() : Json(difference.why)).dump() + "}";
    lines.push_back("  " + difference.field + ": recorded " + Shown(difference.recorded) + ", replayed " +
                    Shown(difference.replayed) + (difference.why.empty() ? ": DIFFERS" : ": " + difference.why));
  }
  Json notCompared = Json::array();
  for (const auto& field : ProcessFields()) notCompared.push_back({{"field", field.first}, {"why", field.second}});
  Json head{{"bundle", JsonTextOf(bundlePath)},
            {"made_by", record.madeBy},
            {"made_at", record.madeAt},
            {"redacted", record.redacted},
            {"content_unchanged", record.digestRecorded ? Json(record.digestMatches) : Json()},
            {"equal", differences.empty()}};
  std::string text = head.dump();
  text.pop_back();
  text += ",\"differences\":[" + listed + "],\"not_compared\":" + notCompared.dump() + "}";
  report.TopLevelText("replay", std::move(text), lines, true);
  return unexplained ? 1 : 0;
}

// quarncfg --from-bundle: the report of the machine recorded, worked out
// again by the library's rules, and how it compares with the one recorded.
int Replay(Report& report, const MachineRecord& record, const std::string& bundlePath, const std::string& section) {
  RecordAnswers answers(record);
  AddSections(report, answers, section);
  if (LacksSection(report, section)) {
    PrintError("the bundle has no section " + section + ": its library object was not made (" +
               Printable(record.notMadeBecause) + ")");
    return 2;
  }
  LibraryOutput output;
  output.text = answers.Printed();
  AddDiagnostics(report, output, "no: replayed from " + bundlePath + " through the library's rules");
  return AddComparison(report, record, bundlePath,
                       CompareReplay(record.report, report.Canonical(section), record.redacted));
}

// quarncfg --smbios-dump: the Hardware section of a dump's table.
int HardwareOfDump(Report& report, const std::string& path, const GivenTableVersion& version) {
  MachineRecord record;
  std::string form, error;
  if (!FirmwareOfDump(path, record.firmware, form, error, version)) {
    PrintError("--smbios-dump: " + Printable(error));
    return 2;
  }
  RecordAnswers answers(record);
  AddSections(report, answers, "Hardware");
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
// The key of a redaction: the file's bytes (--redact-key), or one made for
// this bundle alone. False, with a message, for none.
bool RedactionKey(const std::string& keyPath, std::string& key) {
  if (keyPath.empty()) {
    if (RandomBytes(32, key)) return true;
    PrintError("the system gives no random bytes for a redaction key: give one with --redact-key");
    return false;
  }
  const CheckedFile file = ReadCheckedFile(keyPath, "key", 4096);
  if (file.status == CheckedFile::Status::kRead && file.content.size() >= kShortestRedactionKey) {
    key = file.content;
    return true;
  }
  PrintError("--redact-key " + Printable(keyPath) + ": " +
             (file.status == CheckedFile::Status::kRead
                  ? "a key of at least " + std::to_string(kShortestRedactionKey) + " bytes is needed"
                  : std::string(StatusName(file.status)) + " (a regular file of at most 4096 bytes is needed)"));
  return false;
}

int MakeBundle(const std::string& executableDir, const Options& options) {
  const std::string& path = options.bundlePath;
  std::string key;
  if (options.redact && !RedactionKey(options.redactKey, key)) return 2;
  InspectionPlan plan = PlanInspection(executableDir, !options.installation.empty(), true, false);
  Report report;
  if (!Inspect(report, plan, std::string())) return 3;
  MachineRecord record = CollectMachine(plan, report.Canonical());
  if (options.redact) RedactRecord(record, key, !options.redactKey.empty(), {kqt::CToolUtil::GetApplicationDirPath()});
  const std::string text = WriteBundle(record);
  std::FILE* out = std::fopen(path.c_str(), "wb");
  bool written = out && std::fwrite(text.data(), 1, text.size(), out) == text.size();
  if (out && std::fclose(out) != 0) written = false;
  if (!written) {
    PrintError(Printable(path) + " cannot be written");
    return 3;
  }
  std::printf("quarncfg: bundle of %s written to %s (%zu bytes%s)\n", Printable(plan.places.root).c_str(),
              Printable(path).c_str(), text.size(), options.redact ? ", redacted" : "");
  return 0;
}

// The check of two files as read, reported as `options` asks; its exit
// status.
int CheckFiles(Report& report, const CheckedFile& settings, const CheckedFile& overrides, const Options& options) {
  CheckResult result = CheckSettings(settings, overrides);
  Severity lowest = Severity::kWarning;
  SeverityFromName(options.severity, lowest);
  KeepFindings(result.findings, lowest, std::set<std::string>(options.disabled.begin(), options.disabled.end()));
  const int status = FindingsExitStatus(result.findings, lowest);
  AddCheckReport(report, std::move(result), lowest, options.quiet);
  return status;
}

// quarncfg check: the settings files of the installation (this program's,
// or the one named), the files named, or those a bundle recorded, as the
// library reads them. Nothing is created: the paths come from the
// library's layout rules.
int Check(Report& report, const std::string& executableDir, const MachineRecord* record, const Options& options) {
  using quarn::layout::kOverrideFileName;
  using quarn::layout::kSettingsFileName;
  CheckedFile settings, overrides;
  std::string made = "no: quarncfg check reads the files itself, by the library's rules";
  if (record) {
    settings = CheckedFile{record->settingsFile.path, kSettingsFileName, record->settingsFile.status,
                           record->settingsFile.content};
    overrides = CheckedFile{record->overrideFile.path, kOverrideFileName, record->overrideFile.status,
                            record->overrideFile.content};
    made = "no: the files recorded in " + options.fromBundle + ", read by the library's rules";
  } else {
    const quarn::layout::Places places = quarn::layout::DerivePlaces(executableDir);
    std::string settingsPath = options.settingsPath, overridePath = options.overridePath;
    if (settingsPath.empty()) {
      settingsPath = places.configFile;
      if (overridePath.empty()) overridePath = places.overrideFile;
    }
    overrides.label = kOverrideFileName;
    if (!overridePath.empty()) overrides = ReadCheckedFile(overridePath, kOverrideFileName);
    settings = ReadCheckedFile(settingsPath, kSettingsFileName);
  }
  const int status = CheckFiles(report, settings, overrides, options);
  if (!options.quiet) AddDiagnostics(report, LibraryOutput(), made);
  return status;
}

// Whether everything written to standard output reached it. A report
// that could not be written (a full disk, a reader that went away) is a
// failure, not a silent success.
bool WrittenOut() {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  PrintError("the report could not be written");
  return false;
}

// The executable directory to inspect: this program's, or the one
// --installation names. False, with a message, when it names none.
bool ChooseExecutableDir(const Options& options, std::string& executableDir) {
  executableDir = kqt::CToolUtil::GetApplicationDirPath();
  if (options.installation.empty()) return true;
  const ChosenInstallation chosen = ChooseInstallation(options.installation);
  if (chosen.executableDir.empty()) {
    PrintError("--installation: " + chosen.error);
    return false;
  }
  executableDir = chosen.executableDir;
  return true;
}

// The report of the mode asked for; its exit status, or -1 when the report
// is to be printed with status 0.
int Run(int argc, char** argv) {
  Options options;
  const int parsed = ParseOptions(argc, argv, options);
  if (parsed == 0) return WrittenOut() ? 0 : 4;
  if (parsed > 0) return parsed;
  std::string executableDir;
  if (!ChooseExecutableDir(options, executableDir)) return 2;
  using Mode = Options::Mode;
  if (options.mode == Mode::kBundle) return MakeBundle(executableDir, options);
  MachineRecord record;
  if (!options.fromBundle.empty()) {
    std::string error;
    if (!ReadBundleFile(options.fromBundle, record, error)) {
      PrintError("--from-bundle " + Printable(options.fromBundle) + ": " + Printable(error));
      return 2;
    }
  }
  Report report(options.mode == Mode::kCheck ? Report::kCheckSchemaVersion : Report::kReportSchemaVersion);
  std::string section = options.section;
  int status = 0;
  if (options.mode == Mode::kCheck) {
    status = Check(report, executableDir, options.fromBundle.empty() ? nullptr : &record, options);
    section.clear();
  } else if (options.mode == Mode::kReplay) {
    status = Replay(report, record, options.fromBundle, section);
    if (status == 2) return 2;
  } else if (options.mode == Mode::kSmbiosDump) {
    if (HardwareOfDump(report, options.smbiosDump, options.tableVersion) != 0) return 2;
    section.clear();
  } else {
    InspectionPlan plan =
        PlanInspection(executableDir, !options.installation.empty(), options.noCreate, !options.noResolve);
    if (!Inspect(report, plan, section)) return 1;
  }
  if (options.json)
    report.WriteJson(stdout, section);
  else
    report.PrintText(stdout, section);
  return WrittenOut() ? status : 4;
}

}  // namespace
}  // namespace quarn_tools

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
    return quarn_tools::Run(argc, argv);
  } catch (const std::bad_alloc&) {
    quarn_tools::PrintError("out of memory: the input needs more memory than the system gives this process");
  } catch (const std::exception& error) {
    quarn_tools::PrintError(error.what());
  } catch (...) {
    quarn_tools::PrintError("unexpected failure");
  }
  return 3;
}
