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

// The findings of one or more checks, counted: those shown, and those
// left out.
struct CheckTally {
  int errors = 0, warnings = 0, notes = 0;
  HiddenFindings hidden;
  Severity lowest = Severity::kWarning;
  int exitStatus = 0;  // 2 when a file given could not be read
  int files = 0;
  // `result`'s findings as kept for `lowest`; `hidden` what was left out.
  static CheckTally Of(const CheckResult& result, Severity lowest, const HiddenFindings& hidden);
  void Add(const CheckTally& other);
  // "1 error, 2 warnings, 0 notes (warning and above)", with "in N files"
  // for more than one, and what -S and -e hid.
  std::string Line() const;
  // Nothing to say: nothing shown, nothing left out by -e, and nothing hidden
  // by an -S above warning (notes are hidden by default).
  bool Clean() const;
};

// `withSettings`: the files, settings and lists before the findings (always
// in JSON); `tally`: the result's, as its summary.
void AddCheckReport(Report& report, CheckResult result, const CheckTally& tally, bool withSettings);
nlohmann::ordered_json SummaryJson(const CheckTally& tally);

}  // namespace quarn_tools

#endif
