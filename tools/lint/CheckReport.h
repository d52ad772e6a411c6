// What quarncfg check prints for a settings file: its files, each setting
// (named as the report names it, typed as the report types it, with its key
// beside it) and the lists, when asked; then the findings one a line as
// compilers write them ("PATH:LINE: SEVERITY: MESSAGE [CODE]"). One summary
// line counts the findings of every file checked.
#ifndef QUARN_TOOLS_LINT_CHECKREPORT_H
#define QUARN_TOOLS_LINT_CHECKREPORT_H

#include <string>
#include <vector>

#include "lint/SettingsCheck.h"
#include "report/Report.h"

namespace quarn_tools {

// `withSettings`: the files, settings and lists before the findings (always
// in JSON). `lowest`: the lowest severity the findings were kept for.
void AddCheckReport(Report& report, CheckResult result, Severity lowest, bool withSettings);

// The findings of one or more checks, counted.
struct CheckTally {
  int errors = 0, warnings = 0, notes = 0;
  Severity lowest = Severity::kWarning;
  int exitStatus = 0;
  int files = 0;
  static CheckTally Of(const std::vector<Finding>& findings, Severity lowest);
  void Add(const CheckTally& other);
  // "1 error, 2 warnings, 0 notes (warning and above)", with "in N files"
  // for more than one.
  std::string Line() const;
};
nlohmann::ordered_json SummaryJson(const CheckTally& tally);

}  // namespace quarn_tools

#endif
