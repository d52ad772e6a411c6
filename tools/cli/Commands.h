// quarncfg's commands, one file each. Each prints its report and returns
// its exit status.
#ifndef QUARN_TOOLS_CLI_COMMANDS_H
#define QUARN_TOOLS_CLI_COMMANDS_H

#include <string>

#include "bundle/LiveAnswers.h"
#include "bundle/MachineRecord.h"
#include "cli/Options.h"
#include "report/Report.h"

namespace quarn_tools {

// The report of the installation planned (only `section` when one is
// named), with the library's object where it may be made. False, with a
// message, when the section named needs the object and it was not made.
bool Inspect(Report& report, InspectionPlan& plan, const std::string& section);

// `status` when everything written to standard output reached it, else 4
// (a full disk, a reader that went away), said on standard error.
int Finished(int status);
// Prints the report as text or JSON, as `options` asks (only `section`
// when one is named); then Finished(status).
int PrintReport(Report& report, const Options& options, const std::string& section, int status);

// quarncfg [--installation DIR]: what the library sees.
int InspectCommand(const std::string& executableDir, const Options& options);
// quarncfg --smbios-dump FILE: the Hardware section of a dump's table.
int SmbiosDumpCommand(const Options& options);
// quarncfg check: the settings files, as the library reads them.
int CheckCommand(const std::string& executableDir, const Options& options);
// quarncfg bundle: this machine's record, written to a file.
int BundleCommand(const std::string& executableDir, const Options& options);
// quarncfg --from-bundle FILE: the recorded machine replayed, or its files
// extracted (--extract DIR).
int ReplayCommand(const Options& options);
// quarncfg fleet PATH...: which machines of many bundles the server takes
// for one.
int FleetCommand(const Options& options);

}  // namespace quarn_tools

#endif
