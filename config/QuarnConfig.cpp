// The singleton, and construction and destruction of the configuration.
#include "config/QuarnConfig.h"
#include "config/SettingsDefaults.h"

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

CQuarnConfig::CQuarnConfig()
    : m_nLogLevel(quarn::defaults::kLogLevel),
      m_llLogMaxSize(quarn::defaults::kLogMaxSize),
      m_dMaxCpuUse(quarn::defaults::kMaxCpuUse),
      m_nMaxMemUse(quarn::defaults::kMaxMemUse),
      m_strInstallModule(quarn::defaults::kInstallModule),
      m_bProtectUpdate(quarn::defaults::kProtectUpdate),
      m_bProtectOruHids(quarn::defaults::kProtectOruHids),
      m_bSendFile(quarn::defaults::kSendFile),
      m_bUpdateLua(quarn::defaults::kUpdateLua),
      m_bConnectBeta(quarn::defaults::kConnectBeta),
      m_bVmCrashCheck(quarn::defaults::kVmCrashCheck),
      m_bVelseEnable(quarn::defaults::kVelseEnable),
      m_bVelseWafEnable(quarn::defaults::kVelseWafEnable),
      m_nWafRuleRefresh(quarn::defaults::kWafRuleRefresh),
      m_nWafPortRefresh(quarn::defaults::kWafPortRefresh) {
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
