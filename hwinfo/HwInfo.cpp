#include "hwinfo/HwInfo.h"

#include "hwinfo/Hypervisor.h"
#include "hwinfo/SmbiosAcquisition.h"
#include "hwinfo/SmbiosParsing.h"
#include "hwinfo/platform/FirmwarePlatform.h"

std::atomic<int> CHwInfo::version{0};

namespace quarn {
namespace smbios {

// The version number the library holds: written by every table the
// firmware-table service delivers, read by the UUID rule.
struct LibraryVersion {
  static int Held() { return CHwInfo::version.load(); }
  static void Keep(int versionNumber) { CHwInfo::version.store(versionNumber); }
};

}  // namespace smbios
}  // namespace quarn

CHwInfo::CHwInfo(unsigned char* data, int length) : data(data), length(length) {}

CHwInfo& CHwInfo::operator=(const CHwInfo& other) {
  if (this == &other) return *this;
  data = other.data;  // the buffer is shared, not copied
  length = other.length;
  return *this;
}

std::string CHwInfo::GetMachineid() { return GetMahineUuid(); }

tagSMBiosStructHeader* CHwInfo::GetFirstStructure(unsigned char type) {
  if (!data || length <= 0) return nullptr;
  const unsigned char* found = quarn::smbios::FindStructure(data, static_cast<size_t>(length), type);
  return reinterpret_cast<tagSMBiosStructHeader*>(const_cast<unsigned char*>(found));
}

char* CHwInfo::GetString(tagSMBiosStructHeader* header, int index) {
  if (!data || length <= 0) return nullptr;
  const char* text =
      quarn::smbios::StructureString(reinterpret_cast<const unsigned char*>(header), data + length, index);
  return const_cast<char*>(text);
}

std::string CHwInfo::GetMahineUuid() {
  if (!data || length <= 0) return std::string();
  return quarn::smbios::AgentUuidText(data, static_cast<size_t>(length), version.load(),
                                      IsXenOrMicrosoftHypervisor() != 0);
}

// The firmware-table service where the system offers it (on Windows NT 5.2
// or later: IsNt52OrLater on the version the system reports; on Linux where
// the kernel publishes the tables), else physical memory.
int CHwInfo::IsWin2k3OrLater() { return quarn::sys::CurrentFirmwarePlatform().HasFirmwareTableService() ? 1 : 0; }

void CHwInfo::GetSMBiosData(unsigned char* buffer, int* size) { quarn::smbios::ReadSmbiosTable(buffer, size); }

namespace quarn {
namespace smbios {

int ReadSmbiosTable(unsigned char* buffer, int* size) {
  int versionNumber = -1;
  const int copied = ReadSmbiosTableFrom(quarn::sys::CurrentFirmwarePlatform(), buffer, size, versionNumber, nullptr);
  if (copied > 0 && versionNumber >= 0) LibraryVersion::Keep(versionNumber);
  return copied;
}

TableBuffer FetchLibraryTable() {
  TableBuffer table = FetchTableBuffer(quarn::sys::CurrentFirmwarePlatform(), nullptr);
  if (table.delivered > 0 && table.versionNumber >= 0) LibraryVersion::Keep(table.versionNumber);
  return table;
}

HardwareIdentity LibraryIdentity(TableChecksum checksum) {
  const TableBuffer table = FetchLibraryTable();
  AgentRule rule;
  rule.versionNumber = LibraryVersion::Held();
  rule.xenOrMicrosoft = IsXenOrMicrosoftHypervisor() != 0;
  return IdentifyTable({table.bytes.data(), table.bytes.size(), table.delivered}, rule, TableVersion(), checksum);
}

}  // namespace smbios
}  // namespace quarn
