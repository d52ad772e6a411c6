#include "bundle/RecordedFirmware.h"

#include <algorithm>
#include <cstring>

#include "hwinfo/SmbiosParsing.h"

namespace quarn_tools {

RecordedTable FindRecordedTable(const FirmwareRecord& firmware) {
  RecordedTable table;
  if (firmware.blockGiven) {
    quarn::smbios::FirmwareBlockView view;
    const auto* block = reinterpret_cast<const unsigned char*>(firmware.block.data());
    if (!quarn::smbios::ReadFirmwareBlock(block, firmware.block.size(), view)) return table;
    table.found = table.inBlock = true;
    table.major = view.major;
    table.minor = view.minor;
    table.revision = firmware.block.size() > 3 ? static_cast<unsigned char>(firmware.block[3]) : 0;
    table.offset = 8;
    table.length = view.tableLength;
    return table;
  }
  for (std::size_t w = 0; w < firmware.memoryReads.size(); ++w) {
    const FirmwareRecord::MemoryRead& window = firmware.memoryReads[w];
    if (!window.copied || window.address != quarn::smbios::kBiosWindowStart ||
        window.length != quarn::smbios::kBiosWindowLength)
      continue;
    quarn::smbios::EntryPoint entry;
    const auto* bytes = reinterpret_cast<const unsigned char*>(window.bytes.data());
    if (!quarn::smbios::FindEntryPoint(bytes, window.bytes.size(), entry)) return table;
    for (std::size_t r = 0; r < firmware.memoryReads.size(); ++r) {
      const FirmwareRecord::MemoryRead& read = firmware.memoryReads[r];
      if (!read.copied || entry.tableAddress < read.address || entry.tableAddress - read.address >= read.bytes.size())
        continue;
      table.found = true;
      table.major = entry.major;
      table.minor = entry.minor;
      table.read = r;
      table.offset = static_cast<std::size_t>(entry.tableAddress - read.address);
      table.length =
          static_cast<std::size_t>(std::min<std::uint64_t>(entry.tableLength, read.bytes.size() - table.offset));
      table.window = w;
      table.entryOffset = entry.offset;
      table.entryLength = bytes[entry.offset + 5];
      return table;
    }
    return table;
  }
  return table;
}

bool RecordingFirmware::HasFirmwareTableService() {
  m_record.firmwareService = m_real.HasFirmwareTableService();
  return m_record.firmwareService;
}

quarn::sys::FirmwareBlock RecordingFirmware::FirmwareSmbiosBlock() {
  quarn::sys::FirmwareBlock block = m_real.FirmwareSmbiosBlock();
  m_record.blockGiven = block.status == quarn::sys::FirmwareBlock::kOk;
  m_record.block.assign(block.bytes.begin(), block.bytes.end());
  if (!m_record.blockGiven) m_record.block.clear();
  m_record.blockDiagnostic = block.diagnostic;
  return block;
}

bool RecordingFirmware::ReadPhysicalMemory(std::uint32_t address, std::uint32_t length, unsigned char* buffer,
                                           std::string& diagnostics) {
  std::string said;
  const bool copied = m_real.ReadPhysicalMemory(address, length, buffer, said);
  diagnostics += said;
  for (const FirmwareRecord::MemoryRead& read : m_record.memoryReads)
    if (read.address == address && read.length == length) return copied;  // asked before: kept once
  FirmwareRecord::MemoryRead read;
  read.address = address;
  read.length = length;
  read.copied = copied;
  if (copied) read.bytes.assign(reinterpret_cast<const char*>(buffer), length);
  read.diagnostics = said;
  m_record.memoryReads.push_back(std::move(read));
  return copied;
}

quarn::sys::CpuidRegisters RecordingFirmware::Cpuid(std::uint32_t leaf) {
  const quarn::sys::CpuidRegisters registers = m_real.Cpuid(leaf);
  m_record.cpuid[leaf] = registers;
  return registers;
}

quarn::sys::FirmwareBlock RecordedFirmware::FirmwareSmbiosBlock() {
  quarn::sys::FirmwareBlock block;
  block.status = m_record.blockGiven ? quarn::sys::FirmwareBlock::kOk : quarn::sys::FirmwareBlock::kFailed;
  block.bytes.assign(m_record.block.begin(), m_record.block.end());
  block.diagnostic = m_record.blockDiagnostic;
  return block;
}

bool RecordedFirmware::ReadPhysicalMemory(std::uint32_t address, std::uint32_t length, unsigned char* buffer,
                                          std::string& diagnostics) {
  for (const FirmwareRecord::MemoryRead& read : m_record.memoryReads) {
    if (read.address != address || read.length != length) continue;
    diagnostics += read.diagnostics;
    if (!read.copied || read.bytes.size() != length) return false;
    std::memcpy(buffer, read.bytes.data(), length);
    return true;
  }
  diagnostics += "physical memory at " + std::to_string(address) + ": not in the bundle\n";
  return false;
}

quarn::sys::CpuidRegisters RecordedFirmware::Cpuid(std::uint32_t leaf) {
  const auto found = m_record.cpuid.find(leaf);
  return found == m_record.cpuid.end() ? quarn::sys::CpuidRegisters() : found->second;
}

}  // namespace quarn_tools
