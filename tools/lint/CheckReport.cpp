#include "lint/CheckReport.h"

#include <algorithm>

#include "report/SettingJson.h"

namespace quarn_tools {
namespace {

namespace S = quarn::settings;
using Json = nlohmann::ordered_json;

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

std::string Plural(int count, const char* what) { return std::to_string(count) + " " + what + (count == 1 ? "" : "s"); }

void AddFiles(Report& report, const CheckResult& result) {
  report.Section("Files");
  const char* keys[2] = {"settings_file", "override_file"};
  for (std::size_t i = 0; i < result.files.size() && i < 2; ++i) {
    const CheckedFile& file = result.files[i];
    report.Field(
        keys[i], file.label,
        Json{{"path", file.path.empty() ? Json(nullptr) : Json(file.path)}, {"status", StatusName(file.status)}},
        file.path.empty() ? std::string("(not given)") : file.path + " (" + StatusName(file.status) + ")");
  }
}

// A key's value: a list's as its own items (the override file's, which
// come first in the list the read makes, are the override file's).
Json KeyValue(const S::SettingsReading& reading, const S::SettingRow& row) {
  if (!row.list) return SettingJson(reading.record, row);
  const std::vector<std::string>& list = reading.record.*row.list;
  const std::size_t first = std::min(reading.keys[S::RowIndex(row)].fromOverride, list.size());
  Json items = Json::array();
  for (std::size_t i = first; i < list.size(); ++i) items.push_back(list[i]);
  return items;
}

void AddSettings(Report& report, const CheckResult& result) {
  report.Section("Settings");
  const S::SettingsReading& reading = result.reading;
  for (std::size_t r = 0; r < S::kSettingCount; ++r) {
    const S::SettingRow& row = S::Setting(r);
    const S::KeyReading& key = reading.keys[r];
    std::string note = WhyDefault(reading, row);
    if (row.Has(S::kFirstReadOnly)) note += std::string(note.empty() ? "" : "; ") + "first read of the process only";
    // Member by member, room made first: a list's items are moved in, never
    // copied (an initializer list copies, and so does an ordered object
    // that grows, its names being const).
    Json value = Json::object();
    value.get_ref<Json::object_t&>().reserve(6);
    value["key"] = row.key;
    value["present"] = key.present;
    value["raw"] = key.present ? Json(key.raw) : Json(nullptr);
    value["value"] = KeyValue(reading, row);
    value["origin"] = S::OriginName(reading.record.origin[r]);
    value["note"] = note.empty() ? Json(nullptr) : Json(note);
    const bool isText = row.kind == S::Kind::kText || row.kind == S::Kind::kList;
    const std::string text = SettingValueText(reading, row);
    std::string shown =
        (key.present ? Quote(key.raw) : std::string("(not given)")) + " -> " + (isText ? Quote(text) : text);
    if (!note.empty()) shown += "  (" + note + ")";
    report.Field(row.name, std::string(row.label) + " (" + row.key + ")", std::move(value), shown);
  }
}

void AddLists(Report& report, CheckResult& result) {
  report.Section("Lists");
  for (std::size_t r = 0; r < S::kSettingCount; ++r) {
    const S::SettingRow& row = S::Setting(r);
    if (row.list) report.TextsField(row.name, row.label, std::move(result.reading.record.*row.list));
  }
}

}  // namespace

void AddCheckReport(Report& report, CheckResult result, const CheckTally& tally, bool withSettings) {
  if (withSettings) {
    AddFiles(report, result);
    AddSettings(report, result);
    AddLists(report, result);
  }
  Json findings = Json::array();
  std::vector<std::string> lines;
  for (const Finding& finding : result.findings) {
    Json entry{{"severity", SeverityName(finding.severity)},
               {"code", finding.code},
               {"file", finding.path},
               {"line", finding.line ? Json(finding.line) : Json(nullptr)},
               {"column", finding.line && finding.column ? Json(finding.column) : Json(nullptr)},
               {"key", finding.key.empty() ? Json(nullptr) : Json(finding.key)},
               {"message", finding.message}};
    if (finding.more) entry["also_counted"] = finding.more;
    findings.push_back(std::move(entry));
    lines.push_back(FindingLine(finding));
  }
  report.TopLevel("findings", std::move(findings), std::move(lines));
  report.TopLevel("summary", SummaryJson(tally), {});
}

CheckTally CheckTally::Of(const CheckResult& result, Severity lowest, const HiddenFindings& hidden) {
  CheckTally tally;
  tally.errors = CountFindings(result.findings, Severity::kError);
  tally.warnings = CountFindings(result.findings, Severity::kWarning);
  tally.notes = CountFindings(result.findings, Severity::kNote);
  tally.hidden = hidden;
  tally.lowest = lowest;
  // A file that cannot be read is no finding about the file: the check did
  // not happen.
  tally.exitStatus = result.unreadable ? 2 : FindingsExitStatus(result.findings, lowest);
  tally.files = 1;
  return tally;
}

void CheckTally::Add(const CheckTally& other) {
  errors += other.errors;
  warnings += other.warnings;
  notes += other.notes;
  hidden.bySeverity += other.hidden.bySeverity;
  hidden.byCode += other.hidden.byCode;
  exitStatus = std::max(exitStatus, other.exitStatus);
  files += other.files;
}

std::string CheckTally::Line() const {
  std::string line = Plural(errors, "error") + ", " + Plural(warnings, "warning") + ", " + Plural(notes, "note") +
                     (files > 1 ? " in " + std::to_string(files) + " files" : std::string()) + " (" +
                     SeverityName(lowest) + " and above)";
  // Notes are hidden by default: said only when -S hides more.
  if (hidden.bySeverity && lowest != Severity::kWarning)
    line += "; " + std::to_string(hidden.bySeverity) + " hidden by -S";
  if (hidden.byCode) line += "; " + std::to_string(hidden.byCode) + " hidden by -e";
  return line;
}

bool CheckTally::Clean() const {
  // Notes are hidden by default: only a lower -S makes that worth saying.
  return errors + warnings + notes + hidden.byCode == 0 && (lowest == Severity::kWarning || hidden.bySeverity == 0);
}

nlohmann::ordered_json SummaryJson(const CheckTally& tally) {
  return Json{{"errors", tally.errors},
              {"warnings", tally.warnings},
              {"notes", tally.notes},
              {"lowest_severity", SeverityName(tally.lowest)},
              {"hidden_by_severity", tally.hidden.bySeverity},
              {"hidden_by_code", tally.hidden.byCode},
              {"exit_status", tally.exitStatus}};
}

}  // namespace quarn_tools
