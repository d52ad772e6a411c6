#include "config/LayoutRules.h"

#include "util/DirCom.h"
#include "util/FileUtil.h"
#include "util/StringUtil.h"

namespace quarn {
namespace layout {
namespace {

// `dir` moved up once (a root stays), in normal form.
std::string Up(const std::string& dir) {
  kqt::CDirCom cursor(dir);
  cursor.cdUp();
  return cursor.absolutePath();
}

std::string Below(const std::string& dir, const char* name) { return kqt::CDirCom(dir).absoluteFilePath(name); }

}  // namespace

Places DerivePlaces(const std::string& executableDir) {
  Places places;
  places.executableDir = kqt::CDirCom(executableDir).absolutePath();
  places.clientDir = Up(executableDir);
  places.root = Up(places.clientDir);
  places.confDir = ClientConfDir(executableDir);
  places.dataDir = ClientDataDir(executableDir);
  places.configFile = Below(places.confDir, kSettingsFileName);
  places.globalCfg = Below(places.root, "globalcfg");
  places.overrideFile = OverrideFilePath(places.globalCfg);
  // Joined to the root's text as it stands, and then made normal.
  places.updateDir = kqt::CDirCom(places.root + "/quarn_update").absolutePath();
  places.updateExeName = kUpdateExeName;
  places.updateExe = Below(places.updateDir, kUpdateExeName);
  places.updatePidFile = Below(places.updateDir, "pid.txt");
  places.updateCommandFile = Below(places.updateDir, "up_cmd.txt");
  places.updateVersionFile = UpdateVersionFilePath(places.updateDir);
  return places;
}

std::string ClientConfDir(const std::string& executableDir) { return Below(executableDir, "conf"); }

std::string ClientDataDir(const std::string& executableDir) { return Below(executableDir, "data"); }

std::string OverrideFilePath(const std::string& globalCfgDir) {
  return kqt::CDirCom(globalCfgDir).absolutePath() + "/" + kOverrideFileName;
}

std::string UpdateVersionFilePath(const std::string& updateDir) {
  return kqt::CDirCom(updateDir).absolutePath() + "/cur_version.txt";
}

std::string VersionDetail(const std::string& version, long long programSize) {
  return "win32_" + version + "_" + kqt::CStringUtil::IntToString(programSize, nullptr, 10);
}

bool ConstructionCreatesGlobalCfg(const std::string& executableDir, const Places& places) {
  return !executableDir.empty() && !kqt::CDirCom(places.globalCfg).exists();
}

bool ReadUpdateVersionRecord(const std::string& updateDir, std::string& version) {
  std::string line;
  if (kqt::CDirCom(updateDir).exists() && kqt::CFileUtil::ReadLine(UpdateVersionFilePath(updateDir), line)) {
    version = kqt::CStringUtil::stringTrimmed(line);
    return true;
  }
  version = kNoUpdateVersion;
  return false;
}

}  // namespace layout
}  // namespace quarn
