#include "hwinfo/HwInfo.h"

#include <new>

#include "hwinfo/Hypervisor.h"
#include "hwinfo/SmbiosParsing.h"
#include "hwinfo/SmbiosReaders.h"
#include "hwinfo/platform/FirmwarePlatform.h"

std::atomic<int> CHwInfo::version{0};

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
  tagSMBiosStructHeader* system = GetFirstStructure(1);  // System Information
  unsigned char uuid[16];
  if (!system || !quarn::smbios::StructureUuid(reinterpret_cast<const unsigned char*>(system), data + length, uuid))
    return std::string();
  const bool swap = quarn::smbios::SwapsUuidFields(version.load(), IsXenOrMicrosoftHypervisor() != 0);
  return quarn::smbios::UuidText(uuid, swap);
}

int CHwInfo::IsWin2k3OrLater() { return quarn::sys::CurrentFirmwarePlatform().HasFirmwareTableService() ? 1 : 0; }

int quarn::smbios::ReadSmbiosTable(unsigned char* buffer, int* size) {
  // No failure is reported to the caller: whatever goes wrong below leaves
  // the buffer without a table. Only memory exhaustion goes on up.
  try {
    if (CHwInfo::IsWin2k3OrLater()) {
      quarn::smbios::CSMBiosFirmwareReader reader;
      const int copied = reader.ReadTable(buffer, size);
      if (copied > 0) CHwInfo::version.store(reader.tableVersion);
      return copied;
    }
    quarn::smbios::CSMBiosMemoryReader reader;
    return reader.ReadTable(buffer, size);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (...) {
    return 0;
  }
}

void CHwInfo::GetSMBiosData(unsigned char* buffer, int* size) { quarn::smbios::ReadSmbiosTable(buffer, size); }
