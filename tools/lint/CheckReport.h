// What quarncfg check prints: the files, each setting (named as the report
// names it, typed as the report types it, with its key beside it) and the
// lists, then the findings one a line as compilers write them
// ("PATH:LINE: SEVERITY: MESSAGE [CODE]"), then a summary.
#ifndef QUARN_TOOLS_LINT_CHECKREPORT_H
#define QUARN_TOOLS_LINT_CHECKREPORT_H

#include "lint/SettingsCheck.h"
#include "report/Report.h"

namespace quarn_tools {

// `quiet`: the findings alone, and nothing at all (text) where there is
// none. `lowest`: the lowest severity the findings were kept for (it is
// said in the summary).
void AddCheckReport(Report& report, CheckResult result, Severity lowest, bool quiet);

}  // namespace quarn_tools

#endif
