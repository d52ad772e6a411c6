// The installation's places. Everything derives from the directory E of the
// running executable: the client directory is E/.., the installation root
// E/../.. ; the layout is fixed at construction.
#include "config/LayoutRules.h"
#include "config/QuarnConfig.h"
#include "util/ToolUtil.h"

void CQuarnConfig::DeriveInstallationLayout() {
  const std::string appDir = kqt::CToolUtil::GetApplicationDirPath();
  const quarn::layout::Places places = quarn::layout::DerivePlaces(appDir);
  m_dirConf.setPath(places.confDir);
  m_dirClient.setPath(places.clientDir);
  m_dirQuarn.setPath(places.root);
  m_dirUpdate.setPath(places.updateDir);
  m_dirConfigFile.setPath(places.configFile);
  m_dirGlobalCfg.setPath(places.globalCfg);
  // The shared configuration directory is created when it is missing; a
  // failure leaves the cursor where it stands and is not an error. When the
  // system does not say where the executable is, the places above stand on
  // the working directory: answered, but nothing is made there.
  if (quarn::layout::ConstructionCreatesGlobalCfg(appDir, places)) {
    m_dirGlobalCfg.cdUp();
    m_dirGlobalCfg.mkdir(quarn::layout::kGlobalCfgDirName);
    m_dirGlobalCfg.cd(std::string("./") + quarn::layout::kGlobalCfgDirName);
  }
}

std::string CQuarnConfig::GetQuarnDir() { return m_dirQuarn.absolutePath(); }

std::string CQuarnConfig::GetGlobalCfgDir() { return m_dirGlobalCfg.absolutePath(); }

std::string CQuarnConfig::GetUpdateDir() { return m_dirUpdate.absolutePath(); }

std::string CQuarnConfig::GetClientDir() { return m_dirClient.absolutePath(); }

std::string CQuarnConfig::GetCurrentDir() { return kqt::CToolUtil::GetApplicationDirPath(); }

std::string CQuarnConfig::GetClientConfDir() {
  return quarn::layout::ClientConfDir(kqt::CToolUtil::GetApplicationDirPath());
}

std::string CQuarnConfig::GetClientDataDir() {
  return quarn::layout::ClientDataDir(kqt::CToolUtil::GetApplicationDirPath());
}

std::string CQuarnConfig::GetConfigFilePath() { return m_dirConfigFile.absolutePath(); }

std::string CQuarnConfig::GetUpdateExeName() { return quarn::layout::kUpdateExeName; }

std::string CQuarnConfig::GetUpdateExePath() { return m_dirUpdate.absoluteFilePath(quarn::layout::kUpdateExeName); }

std::string CQuarnConfig::GetUpdatePidFilePath() {
  return m_dirUpdate.absoluteFilePath(quarn::layout::kUpdatePidFileName);
}

std::string CQuarnConfig::GetUpCmdFilePath() {
  return m_dirUpdate.absoluteFilePath(quarn::layout::kUpdateCommandFileName);
}

std::string CQuarnConfig::GetUpdateVersionFilePath() {
  return quarn::layout::UpdateVersionFilePath(m_dirUpdate.absolutePath());
}
