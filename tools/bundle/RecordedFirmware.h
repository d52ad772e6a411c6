// The firmware seam, recorded and replayed. RecordingFirmware passes every
// question to a real seam and keeps the answer; RecordedFirmware answers
// from what was kept, so the library's acquisition, walk and hypervisor
// rules run over another machine's firmware exactly as they ran there.
#ifndef QUARN_TOOLS_BUNDLE_RECORDEDFIRMWARE_H
#define QUARN_TOOLS_BUNDLE_RECORDEDFIRMWARE_H

#include "bundle/MachineRecord.h"
#include "hwinfo/platform/FirmwarePlatform.h"

namespace quarn_tools {

// Where a record holds the SMBIOS table: in the service's block, or (from
// physical memory) in the read the entry point of the BIOS window points
// into. `found` false when it holds none.
struct RecordedTable {
  bool found = false;
  bool inBlock = false;
  unsigned char major = 0, minor = 0, revision = 0;
  std::size_t read = 0;                          // memory: the index of the read holding the table
  std::size_t offset = 0, length = 0;            // the table's, in the block or that read (cut to what was read)
  std::size_t window = 0;                        // memory: the index of the BIOS window's read
  std::size_t entryOffset = 0, entryLength = 0;  // memory: the entry point's, in the window
};
RecordedTable FindRecordedTable(const FirmwareRecord& firmware);

class RecordingFirmware : public quarn::sys::FirmwarePlatform {
 public:
  RecordingFirmware(quarn::sys::FirmwarePlatform& real, FirmwareRecord& record) : m_real(real), m_record(record) {}
  bool HasFirmwareTableService() override;
  quarn::sys::FirmwareBlock FirmwareSmbiosBlock() override;
  bool ReadPhysicalMemory(std::uint32_t address, std::uint32_t length, unsigned char* buffer,
                          std::string& diagnostics) override;
  quarn::sys::CpuidRegisters Cpuid(std::uint32_t leaf) override;

 private:
  quarn::sys::FirmwarePlatform& m_real;
  FirmwareRecord& m_record;
};

class RecordedFirmware : public quarn::sys::FirmwarePlatform {
 public:
  explicit RecordedFirmware(const FirmwareRecord& record) : m_record(record) {}
  bool HasFirmwareTableService() override { return m_record.firmwareService; }
  quarn::sys::FirmwareBlock FirmwareSmbiosBlock() override;
  // A range that was not recorded is not read, and says so.
  bool ReadPhysicalMemory(std::uint32_t address, std::uint32_t length, unsigned char* buffer,
                          std::string& diagnostics) override;
  // A leaf that was not recorded answers zeros, as a processor without it.
  quarn::sys::CpuidRegisters Cpuid(std::uint32_t leaf) override;

 private:
  const FirmwareRecord& m_record;
};

}  // namespace quarn_tools

#endif
