// The singleton, and construction and destruction of the configuration.
#include "config/QuarnConfig.h"
#include "config/SettingsRules.h"
#include "config/platform/HostPlatform.h"

template <class T>
T* CSingleton<T>::m_pInstance = nullptr;

template <class T>
T* CSingleton<T>::GetInstance() {
  return m_pInstance;
}

template <class T>
T* CSingleton<T>::NewInstance() {
  if (!m_pInstance) m_pInstance = new T();
  return m_pInstance;
}

template <class T>
void CSingleton<T>::RemoveInstance() {
  if (!m_pInstance) return;
  delete m_pInstance;
  m_pInstance = nullptr;
}

template class CSingleton<CQuarnConfig>;

CQuarnConfig::CQuarnConfig() : m_settings(new quarn::settings::SettingsRecord(quarn::settings::DefaultSettings())) {
  quarn::sys::CurrentHostPlatform().StartSockets();  // Windows Sockets 2.2; the result does not matter here
  try {
    DeriveInstallationLayout();
    ReadConfig(m_dirConfigFile.path());
    InitSysInfo();
    ReadUpdateVersion();
  } catch (...) {
    // The destructor does not run for a half-built object: end the sockets
    // here, or a failed construction would leave them started.
    quarn::sys::CurrentHostPlatform().CleanupSockets();
    throw;
  }
}

CQuarnConfig::~CQuarnConfig() { quarn::sys::CurrentHostPlatform().CleanupSockets(); }
