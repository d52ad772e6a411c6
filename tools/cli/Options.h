// quarncfg's command line: what each form takes, read into plain values.
#ifndef QUARN_TOOLS_CLI_OPTIONS_H
#define QUARN_TOOLS_CLI_OPTIONS_H

#include <string>
#include <vector>

#include "bundle/SmbiosDump.h"

namespace quarn_tools {

struct Options {
  enum class Mode { kReport, kCheck, kBundle, kReplay, kSmbiosDump } mode = Mode::kReport;
  std::string section;  // the one section to print; "" for all
  bool json = false;
  bool noResolve = false;
  bool noCreate = false;
  std::string installation;  // --installation DIR
  std::string fromBundle, smbiosDump;
  GivenTableVersion tableVersion;
  // check
  std::string settingsPath, overridePath;
  std::string severity = "warning";
  std::vector<std::string> disabled;
  bool quiet = false;
  // bundle
  std::string bundlePath;
  bool redact = false;
  std::string redactKey;  // --redact-key FILE
};

// Reads the command line into `options`. Returns -1 to go on, 0 after
// printing --help or --version, 2 for a usage error (said on standard
// error).
int ParseOptions(int argc, char** argv, Options& options);

}  // namespace quarn_tools

#endif
