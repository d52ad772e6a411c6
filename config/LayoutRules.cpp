#include "config/LayoutRules.h"

#include "util/FileUtil.h"
#include "util/StringUtil.h"

namespace quarn {
namespace layout {

Places DerivePlaces(const std::string& executableDir) {
  Places places;
  places.conf.setPath(executableDir);
  places.conf.cd("conf");
  places.client.setPath(executableDir);
  places.client.cdUp();
  places.root.setPath(executableDir);
  places.root.cdUp();
  places.root.cdUp();
  places.update.setPath(places.root.absolutePath() + "/quarn_update");
  places.configFile = places.conf.absolutePath() + "/" + "cli_config.ini";
  kqt::CDirCom up(executableDir);
  up.cdUp();
  up.cdUp();
  places.globalCfg.setPath(up.absoluteFilePath("globalcfg"));
  return places;
}

bool ConstructionCreatesGlobalCfg(const std::string& executableDir, const Places& places) {
  return !executableDir.empty() && !places.globalCfg.exists();
}

std::string ClientConfDir(const std::string& executableDir) {
  return kqt::CDirCom(executableDir).absoluteFilePath("conf");
}

std::string ClientDataDir(const std::string& executableDir) {
  return kqt::CDirCom(executableDir).absoluteFilePath("data");
}

std::string UpdateVersionFilePath(const kqt::CDirCom& updateDir) {
  return updateDir.absolutePath() + "/cur_version.txt";
}

std::string VersionDetail(const std::string& version, long long programSize) {
  return "win32_" + version + "_" + kqt::CStringUtil::IntToString(programSize, nullptr, 10);
}

bool ReadUpdateVersionRecord(const kqt::CDirCom& updateDir, std::string& version) {
  std::string line;
  if (updateDir.exists() && kqt::CFileUtil::ReadLine(UpdateVersionFilePath(updateDir), line)) {
    version = kqt::CStringUtil::stringTrimmed(line);
    return true;
  }
  version = kNoUpdateVersion;
  return false;
}

}  // namespace layout
}  // namespace quarn
