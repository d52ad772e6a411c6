// The BIOS UUID and the checksum of the SMBIOS table, and a uuid text kept
// for callers.
#include <vector>

#include "config/QuarnConfig.h"
#include "hwinfo/HwInfo.h"
#include "hwinfo/SmbiosParsing.h"
#include "util/AlgorithmUtil.h"
#include "util/LogMessage.h"
#include "util/StringUtil.h"

namespace {

const int kTableBuffer = 0x10000;

// The SMBIOS table in a zeroed buffer of 65,536 bytes, followed by zeros.
// A firmware that reports a larger block gets a buffer of the size it
// reports, so its table is neither cut nor skipped. `delivered` receives
// how many bytes of the buffer the firmware gave.
std::vector<unsigned char> FetchSmbiosTable(int& delivered) {
  std::vector<unsigned char> buffer(kTableBuffer, 0);
  int capacity = kTableBuffer;
  delivered = quarn::smbios::ReadSmbiosTable(buffer.data(), &capacity);
  if (capacity > kTableBuffer) {
    buffer.assign(static_cast<size_t>(capacity), 0);
    int needed = capacity;
    delivered = quarn::smbios::ReadSmbiosTable(buffer.data(), &needed);
  }
  return buffer;
}

// True when the UUID of the table's System Information structure lies in
// bytes the firmware delivered, not in the buffer's zero padding: a table
// cut short inside the UUID would give a made-up id.
bool UuidWasDelivered(const std::vector<unsigned char>& table, int delivered) {
  const unsigned char* system = quarn::smbios::FindStructure(table.data(), table.size(), 1);
  const size_t kUuidEnd = 24;
  return system && delivered > 0 &&
         static_cast<size_t>(system - table.data()) + kUuidEnd <= static_cast<size_t>(delivered);
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
    int delivered = 0;
    std::vector<unsigned char> table = FetchSmbiosTable(delivered);
    CHwInfo view(table.data(), static_cast<int>(table.size()));  // the whole buffer is walked
    m_strBiosUuid = view.GetMachineid();
    if (!m_strBiosUuid.empty() && !UuidWasDelivered(table, delivered)) m_strBiosUuid.clear();
    if (m_strBiosUuid.empty())
      kqt::CLogMessage::GetInstance()->WriteLogMessage("get uuid failed!", kqt::CLogMessage::kErrorLevel);
    else
      kqt::CStringUtil::stringToLower(m_strBiosUuid);
  } catch (...) {
    kqt::CLogMessage::GetInstance()->WriteLogMessage("catch GetMachineUuid error", kqt::CLogMessage::kErrorLevel);
  }
  return m_strBiosUuid;
}

unsigned int CQuarnConfig::GetBiosHash() {
  unsigned int hash = 0;
  try {
    int delivered = 0;
    const std::vector<unsigned char> table = FetchSmbiosTable(delivered);
    hash = kqt::CAlgorithmUtil::GetCRC(table.data(), static_cast<unsigned int>(table.size()));
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
