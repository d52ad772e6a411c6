// quarncfg's command line: what each form takes, read into plain values.
#ifndef QUARN_TOOLS_CLI_OPTIONS_H
#define QUARN_TOOLS_CLI_OPTIONS_H

#include <string>
#include <vector>

#include "bundle/SmbiosDump.h"

namespace quarn_tools {

// A settings file to check and the override file checked with it ("" for
// none); "-" is standard input.
struct CheckedPair {
  std::string settings, overrides;
};

struct Options {
  enum class Mode { kReport, kCheck, kBundle, kReplay, kSmbiosDump, kFleet } mode = Mode::kReport;
  std::string section;  // the one section to print; "" for all
  bool json = false;
  bool noResolve = false;
  bool noCreate = false;
  std::string installation;  // --installation DIR
  std::string fromBundle, smbiosDump;
  std::string extractDir;  // --from-bundle FILE --extract DIR
  GivenTableVersion tableVersion;
  // check: the files named, each settings file with the override file
  // that follows it; none for the installation's or the bundle's
  std::vector<CheckedPair> checkFiles;
  std::string severity = "warning";
  std::vector<std::string> disabled;
  bool quiet = false;
  bool showSettings = false;
  // fleet: the bundles and folders of bundles named
  std::vector<std::string> fleetPaths;
  // bundle
  std::string bundlePath;
  bool redact = false;
  std::string redactKey;  // --redact-key FILE
  bool showKept = false;  // --show-kept: print what --redact keeps
};

// Reads the command line into `options`. Returns -1 to go on, 0 after
// printing --help or --version, 2 for a usage error (said on standard
// error).
int ParseOptions(int argc, char** argv, Options& options);

}  // namespace quarn_tools

#endif
