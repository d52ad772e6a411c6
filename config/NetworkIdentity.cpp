// The machine's addresses, the identity address chosen from them, the
// service address, and one address of a server name.
#include "config/AddressRules.h"
#include "config/QuarnConfig.h"
#include "config/platform/HostPlatform.h"
#include "util/HostInfoUtil.h"
#include "util/ThreadUtil.h"

namespace {
// What the network library is asked for at most: addresses per name.
const int kMostLookedUpAddresses = 20;
}  // namespace

std::vector<std::string> CQuarnConfig::GetLocalIpList() {
  return quarn::sys::CurrentHostPlatform().LocalIPv4Addresses();
}

std::list<std::string> CQuarnConfig::GetHostArray() { return quarn::UsableAddresses(GetLocalIpList()); }

std::string CQuarnConfig::GetIdentityIpByHost() { return quarn::ChooseIdentityIp(GetLocalIpList()); }

const std::string CQuarnConfig::GetIdentityIp() {
  {
    kqt::CReadLockUtil hold(m_rwLockIdentityIp);
    if (!m_strIdentityIp.empty()) return m_strIdentityIp;
  }
  // Empty: compute under the exclusive hold, so that concurrent first calls
  // never write together and a setter waits for the computation. Another
  // thread may have stored one between the two holds: test again.
  kqt::CWriteLockUtil hold(m_rwLockIdentityIp);
  if (m_strIdentityIp.empty()) m_strIdentityIp = GetIdentityIpByHost();
  return m_strIdentityIp;
}

void CQuarnConfig::SetIdentityIp(const std::string& ip) {
  kqt::CWriteLockUtil hold(m_rwLockIdentityIp);
  m_strIdentityIp = ip;
}

void CQuarnConfig::SetServiceIp(const std::string& ip) {
  kqt::CWriteLockUtil hold(m_rwLockServiceIp);
  m_strServiceIp = ip;
}

std::string CQuarnConfig::GetServiceIp() {
  kqt::CReadLockUtil hold(m_rwLockServiceIp);
  return m_strServiceIp;
}

std::string CQuarnConfig::GetIpByDomain(const std::string& domain) {
  const std::vector<std::string> addresses = kqt::CHostInfoUtil::GetIpListByDomain(domain, kMostLookedUpAddresses);
  if (addresses.empty()) return std::string();
  // Read as unsigned, every random number gives a valid index.
  const unsigned int draw = static_cast<unsigned int>(kqt::CThreadUtil::GetRandom());
  return addresses[draw % addresses.size()];
}
