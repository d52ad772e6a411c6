#include "lint/Findings.h"

#include <algorithm>

#include "config/SettingsRules.h"

namespace quarn_tools {
namespace {

// A setting that must have a value has two codes of its own: given empty,
// or not given ("empty_KEY", "missing_KEY").
std::set<std::string> WithRequiredSettings(std::set<std::string> codes) {
  for (std::size_t r = 0; r < quarn::settings::kSettingCount; ++r) {
    const quarn::settings::SettingRow& row = quarn::settings::Setting(r);
    if (!row.Has(quarn::settings::kRequired)) continue;
    codes.insert(std::string("empty_") + row.key);
    codes.insert(std::string("missing_") + row.key);
  }
  return codes;
}

}  // namespace

const char* SeverityName(Severity severity) {
  switch (severity) {
    case Severity::kError:
      return "error";
    case Severity::kWarning:
      return "warning";
    case Severity::kNote:
      return "note";
  }
  return "note";
}

bool SeverityFromName(const std::string& name, Severity& severity) {
  for (Severity s : {Severity::kError, Severity::kWarning, Severity::kNote})
    if (name == SeverityName(s)) {
      severity = s;
      return true;
    }
  return false;
}

const std::set<std::string>& FindingCodes() {
  static const std::set<std::string> codes =
      WithRequiredSettings({"settings_not_read",     "override_not_read",  "wide_encoding",
                            "byte_order_mark",       "nul_byte",           "lone_cr",
                            "broken_section_header", "ignored_line",       "duplicate_key",
                            "unknown_key",           "key_under_section",  "not_a_number",
                            "trailing_characters",   "too_long",           "out_of_bounds",
                            "not_a_boolean",         "empty_value",        "saturated",
                            "loose_boolean",         "quoted_value",       "comment_in_value",
                            "empty_list_item",       "repeated_list_item", "override_replaces_list",
                            "list_item_spaces",      "list_item_url",      "list_item_port",
                            "list_item_not_a_host",  "list_item_bad_ipv4", "list_item_ipv6",
                            "list_item_underscore",  "hexadecimal_number", "negative_size",
                            "useless_value",         "empty_file",         "not_text"});
  return codes;
}

int CountFindings(const std::vector<Finding>& findings, Severity severity) {
  int count = 0;
  for (const Finding& finding : findings)
    if (finding.severity == severity) count += 1 + finding.more;
  return count;
}

int FindingsExitStatus(const std::vector<Finding>& findings, Severity lowest) {
  for (const Finding& finding : findings)
    if (finding.severity <= lowest) return 1;
  return 0;
}

void KeepFindings(std::vector<Finding>& findings, Severity lowest, const std::set<std::string>& disabled) {
  findings.erase(std::remove_if(findings.begin(), findings.end(),
                                [&](const Finding& finding) {
                                  return finding.severity > lowest || disabled.count(finding.code) != 0;
                                }),
                 findings.end());
}

std::string FindingLine(const Finding& finding) {
  std::string where = finding.path;
  if (finding.line) where += ":" + std::to_string(finding.line);
  return where + ": " + SeverityName(finding.severity) + ": " + finding.message + " [" + finding.code + "]";
}

}  // namespace quarn_tools
