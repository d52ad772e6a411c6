// What the check finds, one finding per thing, and the rules by which they
// are counted, kept and turned into an exit status. The kinds of finding
// are the rows of lint/Checks.def.
#ifndef QUARN_TOOLS_LINT_FINDINGS_H
#define QUARN_TOOLS_LINT_FINDINGS_H

#include <cstddef>
#include <set>
#include <string>
#include <vector>

namespace quarn_tools {

enum class Severity { kError, kWarning, kNote };  // most severe first
const char* SeverityName(Severity severity);
// "error", "warning" or "note"; false for another text.
bool SeverityFromName(const std::string& name, Severity& severity);

enum class Check {
#define QUARN_CHECK(id, code, severity, milder, description) k##id,
#include "lint/Checks.def"
#undef QUARN_CHECK
};

struct CheckRow {
  const char* code;  // stable: "unknown_key", "not_a_number", ...
  Severity severity;
  Severity milder;  // in the case its description names
  const char* description;
};

extern const std::size_t kCheckCount;
const CheckRow& CheckOf(Check check);
const CheckRow& CheckAt(std::size_t index);  // in the table's order
// The check of a code; false for another text. The library names the ways
// a value falls back to its default (quarn::settings::OriginName): the
// rows of those findings carry the same names.
bool FindCheck(const std::string& code, Check& check);

struct Finding {
  Severity severity;
  std::string code;  // the row's
  std::string path;  // the file's path (as CheckedFile::path)
  int line;          // 1-based line (counted by LF), 0 for the whole file
  int column;        // 1-based byte of the line, 0 for none
  std::string key;
  std::string message;
  int more = 0;  // findings of this code in this file that were not listed, counted here
};

// Every finding of that severity, listed or not.
int CountFindings(const std::vector<Finding>& findings, Severity severity);
// 1 when a finding of `lowest` or a more severe one is left, else 0.
int FindingsExitStatus(const std::vector<Finding>& findings, Severity lowest = Severity::kWarning);
// What KeepFindings left out, counted as CountFindings counts.
struct HiddenFindings {
  int bySeverity = 0, byCode = 0;
};
// Keeps the findings of `lowest` and more severe whose code is not
// `disabled`; says how many went.
HiddenFindings KeepFindings(std::vector<Finding>& findings, Severity lowest, const std::set<std::string>& disabled);

// PATH:LINE:COLUMN: SEVERITY: MESSAGE [CODE], as compilers print them.
std::string FindingLine(const Finding& finding);

}  // namespace quarn_tools

#endif
