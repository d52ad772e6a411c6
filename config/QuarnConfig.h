// The process-wide configuration of the client: installation places,
// settings, server lists, and identity of the machine.
//
//   CQuarnConfig* config = CSingleton<CQuarnConfig>::NewInstance();  // once
//   ... CSingleton<CQuarnConfig>::GetInstance()->GetLogLevel() ...   // any thread
//   CSingleton<CQuarnConfig>::RemoveInstance();                      // at the end
//
// Getters return copies and never fail: anything that cannot be read gives
// its documented default.
#ifndef QUARN_CONFIG_QUARNCONFIG_H
#define QUARN_CONFIG_QUARNCONFIG_H

#include <list>
#include <memory>
#include <string>
#include <vector>

#include "config/QuarnConfigExport.h"
#include "config/QuarnConfigVersion.h"
#include "config/Singleton.h"
#include "util/DirCom.h"
#include "util/LockUtil.h"

namespace quarn {
namespace settings {
struct SettingsRecord;
}  // namespace settings
}  // namespace quarn

class CQuarnConfig;
// Instantiated once, inside the library.
extern template class CSingleton<CQuarnConfig>;

class QUARNCONFIG_API CQuarnConfig : public CSingleton<CQuarnConfig> {
  friend class CSingleton<CQuarnConfig>;

 public:
  // Settings (cli_config.ini and domaincfg.ini).

  // Reads the settings file at `path` and the domain override file of the
  // global configuration directory. True when the settings file was loaded
  // and names an install module. Missing or malformed values take their
  // defaults; the two resource limits are read by the first read of the
  // process only.
  bool ReadConfig(const std::string& path);

  std::string GetCurrentVersion();  // the client's version ("current_version")
  double GetMaxCpuUse();
  int GetMaxMemUse();
  void SetMaxCpuUse(double percent);
  void SetMaxMemUse(int megabytes);
  int GetLogLevel();
  long long GetLogFileMaxFile();
  std::string GetInstallModule();
  bool IsProtectUpdate();
  bool IsProtectOruHids();
  bool IsSendFile();
  bool IsUpdateLua();
  bool IsConnectToBetaServerEnabeld();
  bool IsVmCrashCheckEnabled();
  bool IsVelseEnabled();
  bool IsWafEnabled();
  int WafRuleRefreshInMinute();
  int WafPortRefreshInMinute();
  std::string GetWafConfig();

  // Server lists, in configured order: copies the caller owns.
  std::vector<std::string> GetAllUpdateUrl();
  std::vector<std::string> GetAllSrvUrl();

  // One IPv4 address of `domain`, drawn at random among its addresses; the
  // empty text when it has none. Each call looks the name up again.
  std::string GetIpByDomain(const std::string& domain);

  // The machine's addresses and identity.

  // Every IPv4 address of the local host, in the system's order.
  std::vector<std::string> GetLocalIpList();
  // The usable local addresses (not link-local, not 127.0.0.1, not
  // 255.255.255.255), at most six, in order.
  std::list<std::string> GetHostArray();
  // The identity address chosen now: the first private local address, else
  // the last one in 172.x outside 172.16-32, else empty. Nothing is stored.
  std::string GetIdentityIpByHost();
  // The stored identity address; computed and stored first while empty.
  const std::string GetIdentityIp();
  void SetIdentityIp(const std::string& ip);
  // An address the caller keeps here; the library does not use it.
  void SetServiceIp(const std::string& ip);
  std::string GetServiceIp();

  // The host.

  // The machine's host name; empty when the system gives none.
  std::string GetMachineName();
  // The Windows description, e.g. "Microsoft Windows 7 Ultimate Edition
  // Service Pack 1 (build 7601), 64-bit"; empty on other systems.
  std::string GetSysInfo();
  // The description followed by "_X64" on a 64-bit system, else "_X86".
  std::string GetPlatInfo();
  // The description made afresh; empty when none can be made.
  std::string GetWinVersion();

  // The hardware.

  // The BIOS UUID in lower case (from the SMBIOS System Information
  // structure), or empty when there is none; found once, then served.
  std::string GetBiosUuid();
  // CRC-32 of the SMBIOS table buffer (the table followed by zeros to 65,536
  // bytes); read anew on every call; 0 on failure.
  unsigned int GetBiosHash();
  // Always empty.
  std::string GetVMid();
  // A uuid text the caller keeps here, unrelated to the BIOS UUID.
  void SetUuid(const std::string& uuid);
  std::string GetUuid();

  // Versions and the updater.

  // The updater's version: the trimmed first line of its record
  // R/quarn_update/cur_version.txt, read anew (one retry after 500 ms);
  // "update_00_00" when there is none.
  std::string GetUpdateVersion();
  // "win32_<client version>_<size of this program's executable in bytes>".
  std::string GetVersionDetail();
  // "win32_<updater version>_<size of the updater's executable in bytes>".
  std::string GetUpdateVerDetail();
  // The process id of a running updater (BrundavelUpdate.exe), or 0.
  int GetUpdatePid();

  // The update server: its host name, and the URLs built on it.
  std::string GetUpdateServerPreDomain();  // host name only
  std::string GetPostSrvUrl();             // http://HOST/update
  std::string GetDownLoadPlatformUrl();    // http://HOST/download/win32/
  std::string GetDownLoadPreUrl();         // http://HOST/download/

  // Installation places, all derived from the executable's directory E:
  // client directory C = E/.., installation root R = E/../..

  std::string GetQuarnDir();               // R
  std::string GetGlobalCfgDir();           // R/globalcfg
  std::string GetUpdateDir();              // R/quarn_update
  std::string GetClientDir();              // C
  std::string GetCurrentDir();             // E
  std::string GetClientConfDir();          // E/conf
  std::string GetClientDataDir();          // E/data
  std::string GetConfigFilePath();         // E/conf/cli_config.ini
  std::string GetUpdateExeName();          // "BrundavelUpdate.exe"
  std::string GetUpdateExePath();          // R/quarn_update/BrundavelUpdate.exe
  std::string GetUpdatePidFilePath();      // R/quarn_update/pid.txt
  std::string GetUpCmdFilePath();          // R/quarn_update/up_cmd.txt
  std::string GetUpdateVersionFilePath();  // R/quarn_update/cur_version.txt

 protected:
  // Collects the machine name, the description and the platform tag.
  void InitSysInfo();
  // Reads the updater's version record into m_strUpdateVersion: true when a
  // line was read (also a blank one); otherwise stores "update_00_00".
  bool ReadUpdateVersion();

 private:
  CQuarnConfig();
  virtual ~CQuarnConfig();
  CQuarnConfig(const CQuarnConfig&) = delete;
  CQuarnConfig& operator=(const CQuarnConfig&) = delete;

  void DeriveInstallationLayout();
  // Appends the description to `text`; false for a system not described.
  bool GetSysPlatform(std::string& text);
  // A copy of one of the three host texts, collected again first if empty.
  std::string HostText(const std::string& member);

  std::string m_strBiosUuid;
  kqt::CDirCom m_dirQuarn;
  kqt::CDirCom m_dirUpdate;
  kqt::CDirCom m_dirClient;
  kqt::CDirCom m_dirConf;
  kqt::CDirCom m_dirGlobalCfg;
  kqt::CDirCom m_dirConfigFile;
  std::string m_strUpdateVersion;
  std::string m_strPlatInfo;
  std::string m_strMachineName;
  std::string m_strSysInfo;
  std::string m_strIdentityIp;
  std::string m_strServiceIp;
  // Every setting and both server lists, as the settings rules read them
  // (config/SettingsRules.h); the default of each until the first read, the
  // lists empty. Guarded by m_rwLock.
  std::unique_ptr<quarn::settings::SettingsRecord> m_settings;
  kqt::CReadWriteLockUtil m_rwLock;
  kqt::CMutexUtil m_mutexUpdateVersion;
  kqt::CReadWriteLockUtil m_rwLockIdentityIp;
  kqt::CReadWriteLockUtil m_rwLockUuid;
  std::string m_strUuid;

  // Guards m_strServiceIp, so callers need no rule about threads.
  kqt::CReadWriteLockUtil m_rwLockServiceIp;
  // Guards m_strMachineName, m_strSysInfo and m_strPlatInfo.
  kqt::CReadWriteLockUtil m_rwLockSysInfo;
  // Guards m_strBiosUuid: concurrent first calls read the table once.
  kqt::CReadWriteLockUtil m_rwLockBiosUuid;
};

#endif
