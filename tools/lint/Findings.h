// What the check finds, one finding per thing, and the rules by which they
// are counted, kept and turned into an exit status.
#ifndef QUARN_TOOLS_LINT_FINDINGS_H
#define QUARN_TOOLS_LINT_FINDINGS_H

#include <set>
#include <string>
#include <vector>

namespace quarn_tools {

enum class Severity { kError, kWarning, kNote };  // most severe first
const char* SeverityName(Severity severity);
// "error", "warning" or "note"; false for another text.
bool SeverityFromName(const std::string& name, Severity& severity);

struct Finding {
  Severity severity;
  std::string code;  // stable: "unknown_key", "not_a_number", ...
  std::string path;  // the file's path (as CheckedFile::path)
  int line;          // 1-based line (counted by LF), 0 for the whole file
  std::string key;
  std::string message;
  int more = 0;  // findings of this code in this file that were not listed, counted here
};

// Every code a finding may have.
const std::set<std::string>& FindingCodes();

// Every finding of that severity, listed or not.
int CountFindings(const std::vector<Finding>& findings, Severity severity);
// 1 when a finding of `lowest` or a more severe one is left, else 0.
int FindingsExitStatus(const std::vector<Finding>& findings, Severity lowest = Severity::kWarning);
// Keeps the findings of `lowest` and more severe whose code is not
// `disabled`.
void KeepFindings(std::vector<Finding>& findings, Severity lowest, const std::set<std::string>& disabled);

// PATH:LINE: SEVERITY: MESSAGE [CODE], as compilers print them.
std::string FindingLine(const Finding& finding);

}  // namespace quarn_tools

#endif
