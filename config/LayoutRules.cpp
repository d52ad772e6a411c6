#include "config/LayoutRules.h"

#include "util/DirCom.h"
#include "util/FileUtil.h"
#include "util/StringUtil.h"

namespace quarn {
namespace layout {
namespace {

// This system's path rules: those of kqt::CDirCom.
class SystemPaths : public PathRules {
 public:
  std::string Normal(const std::string& text) const override { return kqt::CDirCom(text).absolutePath(); }
  std::string Up(const std::string& dir) const override {
    kqt::CDirCom cursor(dir);
    cursor.cdUp();
    return cursor.absolutePath();
  }
  std::string Join(const std::string& dir, const std::string& name) const override {
    return kqt::CDirCom(dir).absoluteFilePath(name);
  }
};

}  // namespace

const PathRules& SystemPathRules() {
  static const SystemPaths paths;
  return paths;
}

Places DerivePlaces(const std::string& executableDir, const PathRules& paths) {
  Places places;
  places.executableDir = paths.Normal(executableDir);
  places.clientDir = paths.Up(executableDir);
  places.root = paths.Up(places.clientDir);
  places.confDir = ClientConfDir(executableDir, paths);
  places.dataDir = ClientDataDir(executableDir, paths);
  places.configFile = paths.Join(places.confDir, kSettingsFileName);
  places.globalCfg = paths.Join(places.root, kGlobalCfgDirName);
  places.overrideFile = OverrideFilePath(places.globalCfg, paths);
  // Joined to the root's text as it stands, and then made normal.
  places.updateDir = paths.Normal(places.root + "/" + kUpdateDirName);
  places.updateExeName = kUpdateExeName;
  places.updateExe = paths.Join(places.updateDir, kUpdateExeName);
  places.updatePidFile = paths.Join(places.updateDir, kUpdatePidFileName);
  places.updateCommandFile = paths.Join(places.updateDir, kUpdateCommandFileName);
  places.updateVersionFile = UpdateVersionFilePath(places.updateDir, paths);
  return places;
}

std::string ClientConfDir(const std::string& executableDir, const PathRules& paths) {
  return paths.Join(executableDir, kConfDirName);
}

std::string ClientDataDir(const std::string& executableDir, const PathRules& paths) {
  return paths.Join(executableDir, kDataDirName);
}

std::string OverrideFilePath(const std::string& globalCfgDir, const PathRules& paths) {
  return paths.Normal(globalCfgDir) + "/" + kOverrideFileName;
}

std::string UpdateVersionFilePath(const std::string& updateDir, const PathRules& paths) {
  return paths.Normal(updateDir) + "/" + kUpdateVersionFileName;
}

std::string VersionDetail(const std::string& version, long long programSize) {
  return "win32_" + version + "_" + kqt::CStringUtil::IntToString(programSize, nullptr, 10);
}

bool ConstructionCreatesGlobalCfg(const std::string& executableDir, const Places& places) {
  return !executableDir.empty() && !kqt::CDirCom(places.globalCfg).exists();
}

bool UpdateVersionOfRecord(bool directoryExists, bool recordRead, const std::string& record, std::string& version) {
  if (!directoryExists || !recordRead) {
    version = kNoUpdateVersion;
    return false;
  }
  std::string::size_type end = record.find('\n');
  if (end == std::string::npos) end = record.size();
  if (end > 0 && record[end - 1] == '\r') --end;
  version = kqt::CStringUtil::stringTrimmed(record.substr(0, end));
  return true;
}

bool ReadUpdateVersionRecord(const std::string& updateDir, std::string& version) {
  const bool directoryExists = kqt::CDirCom(updateDir).exists();
  std::string line;
  const bool read = directoryExists && kqt::CFileUtil::ReadLine(UpdateVersionFilePath(updateDir), line);
  return UpdateVersionOfRecord(directoryExists, read, line, version);
}

}  // namespace layout
}  // namespace quarn
