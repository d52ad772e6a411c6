#include <cstdio>
#include <set>

#include "bundle/Bundle.h"
#include "bundle/InstallationFiles.h"
#include "cli/Commands.h"
#include "cli/FileSystem.h"
#include "config/LayoutRules.h"
#include "lint/CheckReport.h"
#include "report/Sections.h"
#include "report/Terminal.h"

namespace quarn_tools {
namespace {

using quarn::layout::kOverrideFileName;
using quarn::layout::kSettingsFileName;

// A settings file and the override file checked with it.
struct CheckTarget {
  CheckedFile settings, overrides;
};

const char kStandardInputName[] = "<stdin>";

// Standard input as the library would read a file: at most its limit.
CheckedFile ReadStandardInput(const std::string& label) {
  UseBinaryStandardInput();
  CheckedFile file;
  file.path = kStandardInputName;
  file.label = label;
  const std::size_t limit = quarn::settings::kMostFileBytes;
  char buffer[1 << 16];
  std::size_t got = 0;
  while (file.content.size() <= limit && (got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
    file.content.append(buffer, got);
  file.status = std::ferror(stdin)            ? CheckedFile::Status::kUnreadable
                : file.content.size() > limit ? CheckedFile::Status::kTooLarge
                                              : CheckedFile::Status::kRead;
  if (file.status != CheckedFile::Status::kRead) file.content.clear();
  return file;
}

CheckedFile ReadNamed(const std::string& path, const std::string& label) {
  return path == "-" ? ReadStandardInput(label) : ReadCheckedFile(path, label);
}

CheckedFile FromRecord(const RecordedFile& file, const char* label) {
  return CheckedFile{file.path, label, file.status, file.content, label == kOverrideFileName};
}

// The files to check: those named, those a bundle recorded, or the
// installation's (the paths by the library's layout rules; nothing is
// created). False, with a message, when they cannot be had.
bool CheckTargets(const std::string& executableDir, const Options& options, std::vector<CheckTarget>& targets) {
  if (!options.fromBundle.empty()) {
    MachineRecord record;
    std::string error;
    if (!ReadBundleFile(options.fromBundle, record, error)) {
      PrintError("--from-bundle " + Printable(options.fromBundle) + ": " + Printable(error));
      return false;
    }
    targets.push_back(
        {FromRecord(record.settingsFile, kSettingsFileName), FromRecord(record.overrideFile, kOverrideFileName)});
    return true;
  }
  const quarn::layout::Places places = quarn::layout::DerivePlaces(executableDir);
  std::vector<CheckedPair> pairs = options.checkFiles;
  if (pairs.empty()) pairs.push_back({std::string(), std::string()});
  int fromStandardInput = 0;
  for (const CheckedPair& pair : pairs) fromStandardInput += (pair.settings == "-") + (pair.overrides == "-");
  if (fromStandardInput > 1) {
    PrintError("standard input (\"-\") can be checked once");
    return false;
  }
  for (const CheckedPair& pair : pairs) {
    CheckTarget target;
    // The installation's settings file comes with its override file; an
    // override file named alone is checked alone.
    const bool installation = pair.settings.empty() && pair.overrides.empty();
    const std::string overridePath = installation ? places.overrideFile : pair.overrides;
    target.overrides.label = kOverrideFileName;
    if (!overridePath.empty()) target.overrides = ReadNamed(overridePath, kOverrideFileName);
    target.overrides.optional = installation;
    target.settings.label = kSettingsFileName;
    if (installation || !pair.settings.empty())
      target.settings = ReadNamed(installation ? places.configFile : pair.settings, kSettingsFileName);
    targets.push_back(std::move(target));
  }
  return true;
}

void WriteOut(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

}  // namespace

int CheckCommand(const std::string& executableDir, const Options& options) {
  std::vector<CheckTarget> targets;
  if (!CheckTargets(executableDir, options, targets)) return 2;
  Severity lowest = Severity::kWarning;
  SeverityFromName(options.severity, lowest);
  const std::set<std::string> disabled(options.disabled.begin(), options.disabled.end());
  const bool withSettings = options.json || options.showSettings;
  CheckTally total;
  total.lowest = lowest;
  if (options.json)
    WriteOut("{\n  \"schema_version\": " + std::to_string(Report::kSchemaVersion) + ",\n  \"checks\": [");
  for (std::size_t i = 0; i < targets.size(); ++i) {
    CheckResult result = CheckSettings(targets[i].settings, targets[i].overrides);
    const HiddenFindings hidden = KeepFindings(result.findings, lowest, disabled);
    const CheckTally tally = CheckTally::Of(result, lowest, hidden);
    total.Add(tally);
    const bool nothingToSay = result.findings.empty() && !withSettings;
    Report report;
    AddCheckReport(report, std::move(result), tally, withSettings);
    if (options.json) {
      WriteOut(i ? ",\n    " : "\n    ");
      report.WriteJsonMembers(stdout, "    ");
    } else if (!nothingToSay) {
      if (i && withSettings) WriteOut("\n");
      report.PrintText(stdout);
    }
  }
  if (options.json) {
    nlohmann::ordered_json summary = SummaryJson(total);
    summary["files"] = total.files;
    std::string text = summary.dump(2);  // ASCII: names and numbers
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
      text.insert(at + 1, "  ");
    WriteOut("\n  ],\n  \"summary\": " + text + "\n}\n");
  } else if (!options.quiet && (withSettings || !total.Clean())) {  // a clean run says nothing, as linters
    WriteOut((withSettings ? "\n" : "") + total.Line() + "\n");
  }
  return Finished(total.exitStatus);
}

}  // namespace quarn_tools
