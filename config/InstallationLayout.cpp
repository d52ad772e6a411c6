// The installation's places. Everything derives from the directory E of the
// running executable: the client directory is E/.., the installation root
// E/../.. ; the layout is fixed at construction.
#include "config/QuarnConfig.h"
#include "util/ToolUtil.h"

namespace {
const char kUpdateExeName[] = "BrundavelUpdate.exe";
}

void CQuarnConfig::DeriveInstallationLayout() {
  const std::string appDir = kqt::CToolUtil::GetApplicationDirPath();
  m_dirConf.setPath(appDir);
  m_dirConf.cd("conf");
  m_dirClient.setPath(appDir);
  m_dirClient.cdUp();
  m_dirQuarn.setPath(appDir);
  m_dirQuarn.cdUp();
  m_dirQuarn.cdUp();
  m_dirUpdate.setPath(m_dirQuarn.absolutePath() + "/quarn_update");
  m_dirConfigFile = m_dirConf.absolutePath() + "/" + "cli_config.ini";

  // The shared configuration directory is created when it is missing; a
  // failure leaves the cursor where it stands and is not an error.
  kqt::CDirCom root(kqt::CToolUtil::GetApplicationDirPath());
  root.cdUp();
  root.cdUp();
  m_dirGlobalCfg.setPath(root.absoluteFilePath("globalcfg"));
  // When the system does not say where the executable is, the places above
  // stand on the working directory: answered, but nothing is made there.
  if (!appDir.empty() && !m_dirGlobalCfg.exists()) {
    m_dirGlobalCfg.cdUp();
    m_dirGlobalCfg.mkdir("globalcfg");
    m_dirGlobalCfg.cd("./globalcfg");
  }
}

std::string CQuarnConfig::GetQuarnDir() { return m_dirQuarn.absolutePath(); }

std::string CQuarnConfig::GetGlobalCfgDir() { return m_dirGlobalCfg.absolutePath(); }

std::string CQuarnConfig::GetUpdateDir() { return m_dirUpdate.absolutePath(); }

std::string CQuarnConfig::GetClientDir() { return m_dirClient.absolutePath(); }

std::string CQuarnConfig::GetCurrentDir() { return kqt::CToolUtil::GetApplicationDirPath(); }

std::string CQuarnConfig::GetClientConfDir() {
  return kqt::CDirCom(kqt::CToolUtil::GetApplicationDirPath()).absoluteFilePath("conf");
}

std::string CQuarnConfig::GetClientDataDir() {
  return kqt::CDirCom(kqt::CToolUtil::GetApplicationDirPath()).absoluteFilePath("data");
}

std::string CQuarnConfig::GetConfigFilePath() { return m_dirConfigFile.absolutePath(); }

std::string CQuarnConfig::GetUpdateExeName() { return kUpdateExeName; }

std::string CQuarnConfig::GetUpdateExePath() { return m_dirUpdate.absoluteFilePath(kUpdateExeName); }

std::string CQuarnConfig::GetUpdatePidFilePath() { return m_dirUpdate.absoluteFilePath("pid.txt"); }

std::string CQuarnConfig::GetUpCmdFilePath() { return m_dirUpdate.absoluteFilePath("up_cmd.txt"); }

std::string CQuarnConfig::GetUpdateVersionFilePath() { return GetUpdateDir() + "/cur_version.txt"; }
