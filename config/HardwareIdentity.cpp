// The BIOS UUID and the checksum of the SMBIOS table, and a uuid text kept
// for callers.
#include <vector>

#include "config/QuarnConfig.h"
#include "hwinfo/HwInfo.h"
#include "hwinfo/SmbiosAcquisition.h"
#include "hwinfo/SmbiosParsing.h"
#include "util/AlgorithmUtil.h"
#include "util/LogMessage.h"
#include "util/StringUtil.h"

std::string CQuarnConfig::GetBiosUuid() {
  {
    kqt::CReadLockUtil hold(m_rwLockBiosUuid);
    if (!m_strBiosUuid.empty()) return m_strBiosUuid;
  }
  // Not found yet: one thread reads the table, the others wait for it.
  kqt::CWriteLockUtil hold(m_rwLockBiosUuid);
  if (!m_strBiosUuid.empty()) return m_strBiosUuid;
  try {
    quarn::smbios::TableBuffer table = quarn::smbios::FetchLibraryTable();
    CHwInfo view(table.bytes.data(), static_cast<int>(table.bytes.size()));  // the whole buffer is walked
    m_strBiosUuid =
        quarn::smbios::DeliveredUuidText(view.GetMachineid(), table.bytes.data(), table.bytes.size(), table.delivered);
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
    const quarn::smbios::TableBuffer table = quarn::smbios::FetchLibraryTable();
    hash = kqt::CAlgorithmUtil::GetCRC(table.bytes.data(), static_cast<unsigned int>(table.bytes.size()));
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
