// How an installation's places follow from the directory E of the executable
// that loads the library: the client directory is E/.., the root R is
// E/../.., and the state files lie in fixed places below them. The
// configuration object derives its places through these functions, and the
// inspector applies them to an installation it was not started from.
#ifndef QUARN_CONFIG_LAYOUTRULES_H
#define QUARN_CONFIG_LAYOUTRULES_H

#include <string>

#include "util/DirCom.h"

namespace quarn {
namespace layout {

// The directory cursors, as construction sets them (R/globalcfg set, but
// neither tested nor created).
struct Places {
  kqt::CDirCom root;        // R
  kqt::CDirCom update;      // R/quarn_update
  kqt::CDirCom client;      // C
  kqt::CDirCom conf;        // E/conf (where the cursor stands if it is missing)
  kqt::CDirCom globalCfg;   // R/globalcfg
  kqt::CDirCom configFile;  // the settings file path, in a cursor
};
Places DerivePlaces(const std::string& executableDir);

// Whether construction creates R/globalcfg: only when it is missing and
// the executable's directory is known (otherwise the places stand on the
// working directory, and nothing is made there).
bool ConstructionCreatesGlobalCfg(const std::string& executableDir, const Places& places);

// The fresh places, computed on each question from E.
std::string ClientConfDir(const std::string& executableDir);
std::string ClientDataDir(const std::string& executableDir);

const char kUpdateExeName[] = "BrundavelUpdate.exe";
const char kNoUpdateVersion[] = "update_00_00";
std::string UpdateVersionFilePath(const kqt::CDirCom& updateDir);

// A version text reported to the servers: "win32_" (on 32- and 64-bit
// Windows alike), the version, "_", the size of the program in bytes.
std::string VersionDetail(const std::string& version, long long programSize);

// The updater's version record: its first line, trimmed, when the updater's
// directory exists and the record can be read; else false and
// kNoUpdateVersion.
bool ReadUpdateVersionRecord(const kqt::CDirCom& updateDir, std::string& version);

}  // namespace layout
}  // namespace quarn

#endif
