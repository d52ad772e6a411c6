// The service and update server lists, as the settings gave them.
#include "config/QuarnConfig.h"
#include "config/SettingsRules.h"

std::vector<std::string> CQuarnConfig::GetAllUpdateUrl() {
  kqt::CReadLockUtil hold(m_rwLock);
  return m_settings->updateServers;
}

std::vector<std::string> CQuarnConfig::GetAllSrvUrl() {
  kqt::CReadLockUtil hold(m_rwLock);
  return m_settings->serviceServers;
}
