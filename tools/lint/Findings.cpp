#include "lint/Findings.h"

#include <algorithm>

namespace quarn_tools {
namespace {

const CheckRow kChecks[] = {
#define QUARN_CHECK(id, code, severity, milder, description) \
  {code, Severity::k##severity, Severity::k##milder, description},
#include "lint/Checks.def"
#undef QUARN_CHECK
};

}  // namespace

const std::size_t kCheckCount = sizeof kChecks / sizeof kChecks[0];

const CheckRow& CheckOf(Check check) { return kChecks[static_cast<std::size_t>(check)]; }

const CheckRow& CheckAt(std::size_t index) { return kChecks[index]; }

bool FindCheck(const std::string& code, Check& check) {
  for (std::size_t i = 0; i < kCheckCount; ++i)
    if (code == kChecks[i].code) {
      check = static_cast<Check>(i);
      return true;
    }
  return false;
}

const char* SeverityName(Severity severity) {
  static const char* const kNames[] = {"error", "warning", "note"};
  return kNames[static_cast<int>(severity)];
}

bool SeverityFromName(const std::string& name, Severity& severity) {
  for (Severity s : {Severity::kError, Severity::kWarning, Severity::kNote})
    if (name == SeverityName(s)) {
      severity = s;
      return true;
    }
  return false;
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

HiddenFindings KeepFindings(std::vector<Finding>& findings, Severity lowest, const std::set<std::string>& disabled) {
  HiddenFindings hidden;
  findings.erase(std::remove_if(findings.begin(), findings.end(),
                                [&](const Finding& finding) {
                                  // A code left out is counted so, whatever its severity.
                                  if (disabled.count(finding.code) != 0) {
                                    hidden.byCode += 1 + finding.more;
                                    return true;
                                  }
                                  if (finding.severity <= lowest) return false;
                                  hidden.bySeverity += 1 + finding.more;
                                  return true;
                                }),
                 findings.end());
  return hidden;
}

std::string FindingLine(const Finding& finding) {
  std::string where = finding.path;
  if (finding.line) where += ":" + std::to_string(finding.line);
  if (finding.line && finding.column) where += ":" + std::to_string(finding.column);
  return where + ": " + SeverityName(finding.severity) + ": " + finding.message + " [" + finding.code + "]";
}

}  // namespace quarn_tools
