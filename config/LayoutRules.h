// How an installation's places follow from the directory E of the executable
// that loads the library: the client directory is E/.., the root R is
// E/../.., and the state files lie in fixed places below them; and the
// version texts made from what lies there. The configuration object derives
// its places through these functions, and the inspector applies them to an
// installation it was not started from.
//
// DerivePlaces is path arithmetic only. Two functions ask the disk, and say
// so: ConstructionCreatesGlobalCfg and ReadUpdateVersionRecord.
#ifndef QUARN_CONFIG_LAYOUTRULES_H
#define QUARN_CONFIG_LAYOUTRULES_H

#include <string>

namespace quarn {
namespace layout {

// The names the layout is made of.
const char kConfDirName[] = "conf";
const char kDataDirName[] = "data";
const char kGlobalCfgDirName[] = "globalcfg";
const char kUpdateDirName[] = "quarn_update";
const char kSettingsFileName[] = "cli_config.ini";
const char kOverrideFileName[] = "domaincfg.ini";
const char kUpdateVersionFileName[] = "cur_version.txt";
const char kUpdateExeName[] = "BrundavelUpdate.exe";
const char kUpdatePidFileName[] = "pid.txt";
const char kUpdateCommandFileName[] = "up_cmd.txt";
const char kNoUpdateVersion[] = "update_00_00";

// The places, each as the library's getter answers it: absolute, "/"
// between components, no trailing separator.
struct Places {
  std::string executableDir;      // E
  std::string clientDir;          // E/..
  std::string root;               // R = E/../..
  std::string confDir;            // E/conf
  std::string dataDir;            // E/data
  std::string configFile;         // E/conf/cli_config.ini
  std::string globalCfg;          // R/globalcfg
  std::string overrideFile;       // R/globalcfg/domaincfg.ini
  std::string updateDir;          // R/quarn_update
  std::string updateExeName;      // BrundavelUpdate.exe
  std::string updateExe;          // R/quarn_update/BrundavelUpdate.exe
  std::string updatePidFile;      // R/quarn_update/pid.txt
  std::string updateCommandFile;  // R/quarn_update/up_cmd.txt
  std::string updateVersionFile;  // R/quarn_update/cur_version.txt
};
// How path texts are made absolute and normal, moved up and joined: by
// this system's rules (SystemPathRules, kqt::CDirCom), or by those of a
// system recorded elsewhere (the inspector replaying another machine).
class PathRules {
 public:
  virtual ~PathRules() = default;
  // Absolute, "/" between components, no trailing separator but a root's.
  virtual std::string Normal(const std::string& text) const = 0;
  // The parent of Normal(dir); a root stays.
  virtual std::string Up(const std::string& dir) const = 0;
  // Normal(dir), "/", name.
  virtual std::string Join(const std::string& dir, const std::string& name) const = 0;
};
const PathRules& SystemPathRules();

// The places of the installation whose executable directory is E. Nothing
// is asked of the disk (but the working directory, where E is not
// absolute).
Places DerivePlaces(const std::string& executableDir, const PathRules& paths = SystemPathRules());

// Each place that the library computes afresh on every question.
std::string ClientConfDir(const std::string& executableDir, const PathRules& paths = SystemPathRules());
std::string ClientDataDir(const std::string& executableDir, const PathRules& paths = SystemPathRules());
std::string OverrideFilePath(const std::string& globalCfgDir, const PathRules& paths = SystemPathRules());
std::string UpdateVersionFilePath(const std::string& updateDir, const PathRules& paths = SystemPathRules());

// A version text reported to the servers: "win32_" (on 32- and 64-bit
// Windows alike), the version, "_", the size of the program in bytes.
std::string VersionDetail(const std::string& version, long long programSize);

// Asks the disk: whether construction creates R/globalcfg. Only when it is
// missing and the executable's directory is known (otherwise the places
// stand on the working directory, and nothing is made there).
bool ConstructionCreatesGlobalCfg(const std::string& executableDir, const Places& places);

// The updater's version from its record: the first line of `record` (up to
// LF, a CR before it dropped), trimmed, when the updater's directory exists
// and the record was read (`recordRead`: whole, within 64 KiB, and not
// empty); else false and kNoUpdateVersion.
bool UpdateVersionOfRecord(bool directoryExists, bool recordRead, const std::string& record, std::string& version);

// Asks the disk: UpdateVersionOfRecord on the updater's directory and
// record (read as CFileUtil::ReadLine reads, at most 64 KiB).
bool ReadUpdateVersionRecord(const std::string& updateDir, std::string& version);

}  // namespace layout
}  // namespace quarn

#endif
