#include "bundle/Replay.h"
#include "bundle/SmbiosDump.h"
#include "bundle/StdoutCapture.h"
#include "cli/Commands.h"
#include "config/QuarnConfig.h"
#include "report/Sections.h"
#include "report/Terminal.h"
#include "util/DirCom.h"

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

}  // namespace

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

int InspectCommand(const std::string& executableDir, const Options& options) {
  InspectionPlan plan =
      PlanInspection(executableDir, !options.installation.empty(), options.noCreate, !options.noResolve);
  Report report;
  if (!Inspect(report, plan, options.section)) return 1;
  return PrintReport(report, options, options.section, 0);
}

int SmbiosDumpCommand(const Options& options) {
  const std::string& path = options.smbiosDump;
  MachineRecord record;
  std::string form, error;
  if (!FirmwareOfDump(path, record.firmware, form, error, options.tableVersion)) {
    PrintError("--smbios-dump: " + Printable(error));
    return 2;
  }
  Report report;
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
  return PrintReport(report, options, std::string(), 0);
}

}  // namespace quarn_tools
