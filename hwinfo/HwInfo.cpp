#include "hwinfo/HwInfo.h"

#include "hwinfo/Hypervisor.h"
#include "hwinfo/SmbiosParsing.h"
#include "hwinfo/SmbiosReaders.h"
#include "util/Platform.h"

std::atomic<int> CHwInfo::version{0};

CHwInfo::CHwInfo(unsigned char* data, int length) : data(data), length(length) {}

CHwInfo& CHwInfo::operator=(const CHwInfo& other) {
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
  unsigned char uuid[16];
  if (!data || length <= 0 || !quarn::smbios::SystemUuid(data, static_cast<size_t>(length), uuid)) return std::string();
  const bool swap = quarn::smbios::SwapsUuidFields(version.load(), IsXenOrMicrosoftHypervisor() != 0);
  return quarn::smbios::UuidText(uuid, swap);
}

int CHwInfo::IsWin2k3OrLater() { return kqt::sys::CurrentPlatform().HasFirmwareTableService() ? 1 : 0; }

void CHwInfo::GetSMBiosData(unsigned char* buffer, int* size) {
  if (IsWin2k3OrLater()) {
    quarn::smbios::CSMBiosFirmwareReader reader;
    if (reader.ReadTable(buffer, size) > 0) version.store(reader.tableVersion);
  } else {
    quarn::smbios::CSMBiosMemoryReader reader;
    reader.ReadTable(buffer, size);
  }
}
