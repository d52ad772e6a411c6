// The BIOS UUID and the checksum of the SMBIOS table, and a uuid text kept
// for callers.
#include "config/QuarnConfig.h"
#include "hwinfo/SmbiosAcquisition.h"
#include "util/AlgorithmUtil.h"
#include "util/LogMessage.h"

namespace {

// The agent's checksum: the utility library's, whichever that is.
unsigned Checksum(const unsigned char* data, std::size_t size) {
  return kqt::CAlgorithmUtil::GetCRC(data, static_cast<unsigned int>(size));
}

}  // namespace

std::string CQuarnConfig::GetBiosUuid() {
  {
    kqt::CReadLockUtil hold(m_rwLockBiosUuid);
    if (!m_strBiosUuid.empty()) return m_strBiosUuid;
  }
  // Not found yet: one thread reads the table, the others wait for it.
  kqt::CWriteLockUtil hold(m_rwLockBiosUuid);
  if (!m_strBiosUuid.empty()) return m_strBiosUuid;
  try {
    m_strBiosUuid = quarn::smbios::LibraryIdentity(Checksum).agentUuid;
    if (m_strBiosUuid.empty())
      kqt::CLogMessage::GetInstance()->WriteLogMessage("get uuid failed!", kqt::CLogMessage::kErrorLevel);
  } catch (...) {
    kqt::CLogMessage::GetInstance()->WriteLogMessage("catch GetMachineUuid error", kqt::CLogMessage::kErrorLevel);
  }
  return m_strBiosUuid;
}

unsigned int CQuarnConfig::GetBiosHash() {
  unsigned int hash = 0;
  try {
    hash = quarn::smbios::LibraryIdentity(Checksum).checksum;
  } catch (...) {
    kqt::CLogMessage::GetInstance()->WriteLogMessage("catch GetBiosHash error", kqt::CLogMessage::kErrorLevel);
    hash = 0;
  }
  return hash;
}

std::string CQuarnConfig::GetVMid() { return std::string(); }

void CQuarnConfig::SetUuid(const std::string& uuid) {
  kqt::CWriteLockUtil hold(m_rwLockUuid);
  m_strUuid = uuid;
}

std::string CQuarnConfig::GetUuid() {
  kqt::CReadLockUtil hold(m_rwLockUuid);
  return m_strUuid;
}
