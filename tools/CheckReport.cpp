#include "CheckReport.h"

#include "SettingNames.h"

namespace quarn_tools {
namespace {

namespace S = quarn::settings;
using Json = nlohmann::ordered_json;

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

std::string Plural(int count, const char* what) { return std::to_string(count) + " " + what + (count == 1 ? "" : "s"); }

}  // namespace

std::string FindingLine(const Finding& finding) {
  std::string where = finding.path;
  if (finding.line) where += ":" + std::to_string(finding.line);
  return where + ": " + SeverityName(finding.severity) + ": " + finding.message + " [" + finding.code + "]";
}

void AddCheckReport(Report& report, CheckResult result, Severity lowest, bool quiet) {
  if (!quiet) {
    report.Section("Files");
    for (const CheckedFile& file : result.files) {
      const std::string key = file.label == result.files.front().label ? "settings_file" : "override_file";
      report.Field(
          key, file.label,
          Json{{"path", file.path.empty() ? Json(nullptr) : Json(file.path)}, {"status", StatusName(file.status)}},
          file.path.empty() ? std::string("(not given)") : file.path + " (" + StatusName(file.status) + ")");
    }

    report.Section("Settings");
    for (const KeyVerdict& key : result.keys) {
      const SettingName& name = NameOf(key.id);
      const char* iniKey = S::SettingsKey(key.id).name;
      Json value{{"key", iniKey},
                 {"present", key.present},
                 {"raw", key.present ? Json(key.raw) : Json(nullptr)},
                 {"value", TypedValue(key.reading)},
                 {"origin", key.origin},
                 {"note", key.note.empty() ? Json(nullptr) : Json(key.note)}};
      std::string shown = (key.present ? Quote(key.raw) : std::string("(not given)")) + " -> " +
                          (key.isText ? Quote(key.valueText) : key.valueText);
      if (!key.note.empty()) shown += "  (" + key.note + ")";
      report.Field(name.name, std::string(name.label) + " (" + iniKey + ")", value, shown);
    }

    report.Section("Lists");
    report.TextsField("service_servers", "Service servers", std::move(result.serviceServers));
    report.TextsField("update_servers", "Update servers", std::move(result.updateServers));
  }

  Json findings = Json::array();
  std::vector<std::string> lines;
  for (const Finding& finding : result.findings) {
    Json entry{{"severity", SeverityName(finding.severity)},
               {"code", finding.code},
               {"file", finding.path},
               {"line", finding.line ? Json(finding.line) : Json(nullptr)},
               {"key", finding.key.empty() ? Json(nullptr) : Json(finding.key)},
               {"message", finding.message}};
    if (finding.more) entry["also_counted"] = finding.more;
    findings.push_back(std::move(entry));
    lines.push_back(FindingLine(finding));
  }
  const int errors = result.Count(Severity::kError), warnings = result.Count(Severity::kWarning),
            notes = result.Count(Severity::kNote);
  report.TopLevel("findings", std::move(findings), std::move(lines));
  const std::string summary = Plural(errors, "error") + ", " + Plural(warnings, "warning") + ", " +
                              Plural(notes, "note") + " (" + SeverityName(lowest) + " and above)";
  report.TopLevel("summary",
                  Json{{"errors", errors},
                       {"warnings", warnings},
                       {"notes", notes},
                       {"lowest_severity", SeverityName(lowest)},
                       {"exit_status", result.ExitStatus(lowest)}},
                  quiet ? std::vector<std::string>() : std::vector<std::string>{summary});
}

}  // namespace quarn_tools
