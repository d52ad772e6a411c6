#include "hwinfo/SmbiosReaders.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "hwinfo/SmbiosParsing.h"
#include "hwinfo/platform/FirmwarePlatform.h"

namespace quarn {
namespace smbios {
namespace {

const std::uint32_t kWindowStart = 0xF0000;
const std::uint32_t kWindowLength = 0x10000;
const std::uint32_t kWindowEnd = kWindowStart + kWindowLength;  // 1 MiB

void Print(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

}  // namespace

int CSMBiosFirmwareReader::ReadTable(unsigned char* buffer, int* size) {
  const quarn::sys::FirmwareBlock block = quarn::sys::CurrentFirmwarePlatform().FirmwareSmbiosBlock();
  switch (block.status) {
    case quarn::sys::FirmwareBlock::kNoService:
      Print("failed to load library kernel32.dll");
      return 0;
    case quarn::sys::FirmwareBlock::kNoRoutine:
      Print("failed to get address of GetSystemFirmwareTable");
      return 0;
    case quarn::sys::FirmwareBlock::kFailed:
      Print(block.diagnostic);
      return 0;
    case quarn::sys::FirmwareBlock::kOk:
      break;
  }
  if (block.bytes.size() > 0x7FFFFFFFu) return 0;
  const int blockSize = static_cast<int>(block.bytes.size());
  if (!size) return 0;
  if (!buffer || *size < blockSize) {
    *size = blockSize;
    return 0;
  }
  FirmwareBlockView view;
  if (!ReadFirmwareBlock(block.bytes.data(), block.bytes.size(), view)) return 0;
  std::memcpy(buffer, view.table, view.tableLength);
  tableVersion = VersionNumber(view.major, view.minor);
  return static_cast<int>(view.tableLength);
}

int CSMBiosMemoryReader::ReadTable(unsigned char* buffer, int* size) {
  if (!size) return 0;
  if (!buffer || *size < static_cast<int>(kWindowLength)) {
    *size = static_cast<int>(kWindowLength);
    return 0;
  }
  quarn::sys::FirmwarePlatform& platform = quarn::sys::CurrentFirmwarePlatform();
  std::string diagnostics;
  std::vector<unsigned char> window(kWindowLength, 0);
  platform.ReadPhysicalMemory(kWindowStart, kWindowLength, window.data(), diagnostics);
  Print(diagnostics);

  EntryPoint entry;
  if (!FindEntryPoint(window.data(), window.size(), entry)) return 0;
  const std::uint32_t address = entry.tableAddress;
  const std::uint32_t length = entry.tableLength;  // at most 65,535: fits the buffer
  if (address > kWindowStart && static_cast<std::uint64_t>(address) + length <= kWindowEnd) {
    std::memcpy(buffer, window.data() + (address - kWindowStart), length);
    return static_cast<int>(length);
  }
  // The table lies outside the window: a read of its own.
  std::vector<unsigned char> scratch;
  try {
    scratch.assign(kWindowLength, 0);
  } catch (const std::bad_alloc&) {
    std::memset(buffer, 0, static_cast<size_t>(*size));
    return 0;
  }
  diagnostics.clear();
  platform.ReadPhysicalMemory(address, length, scratch.data(), diagnostics);
  Print(diagnostics);
  std::memcpy(buffer, scratch.data(), length);
  return static_cast<int>(length);
}

}  // namespace smbios
}  // namespace quarn
