#include "hwinfo/SmbiosAcquisition.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "hwinfo/SmbiosParsing.h"
#include "hwinfo/platform/FirmwarePlatform.h"

namespace quarn {
namespace smbios {
namespace {

const std::uint32_t kBiosWindowEnd = kBiosWindowStart + kBiosWindowLength;  // 1 MiB

// The acquisition's diagnostics go to standard output, as they are given,
// or to `printed` where one is given.
void Print(const std::string& text, std::string* printed) {
  if (printed) {
    *printed += text;
    return;
  }
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

// The firmware-table service: the whole block is asked for and its table
// copied. A null or too small buffer gets nothing and `*size` is set to the
// block's size. `version` receives the block's version number.
int ReadFirmwareWay(quarn::sys::FirmwarePlatform& platform, unsigned char* buffer, int* size, int& version,
                    std::string* printed) {
  const quarn::sys::FirmwareBlock block = platform.FirmwareSmbiosBlock();
  if (block.status != quarn::sys::FirmwareBlock::kOk) {
    Print(block.diagnostic, printed);
    return 0;
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
  version = VersionNumber(view.major, view.minor);
  return static_cast<int>(view.tableLength);
}

// The BIOS area of physical memory (0xF0000 to 1 MiB), searched for the
// entry point; the table is read from where the entry point says. A null
// buffer or one below 65,536 bytes gets nothing and `*size` is set to
// 65,536.
int ReadMemoryWay(quarn::sys::FirmwarePlatform& platform, unsigned char* buffer, int* size, std::string* printed) {
  if (!size) return 0;
  if (!buffer || *size < static_cast<int>(kBiosWindowLength)) {
    *size = static_cast<int>(kBiosWindowLength);
    return 0;
  }
  std::string diagnostics;
  std::vector<unsigned char> window(kBiosWindowLength, 0);
  platform.ReadPhysicalMemory(kBiosWindowStart, kBiosWindowLength, window.data(), diagnostics);
  Print(diagnostics, printed);

  EntryPoint entry;
  if (!FindEntryPoint(window.data(), window.size(), entry)) return 0;
  const std::uint32_t address = static_cast<std::uint32_t>(entry.tableAddress);
  const std::uint32_t length = entry.tableLength;  // 16 bits in the 32-bit form: fits the buffer
  if (address > kBiosWindowStart && static_cast<std::uint64_t>(address) + length <= kBiosWindowEnd) {
    std::memcpy(buffer, window.data() + (address - kBiosWindowStart), length);
    return static_cast<int>(length);
  }
  // The table lies outside the window: a read of its own.
  std::vector<unsigned char> scratch;
  try {
    scratch.assign(kBiosWindowLength, 0);
  } catch (const std::bad_alloc&) {
    std::memset(buffer, 0, static_cast<size_t>(*size));
    return 0;
  }
  diagnostics.clear();
  platform.ReadPhysicalMemory(address, length, scratch.data(), diagnostics);
  Print(diagnostics, printed);
  std::memcpy(buffer, scratch.data(), length);
  return static_cast<int>(length);
}

}  // namespace

int ReadSmbiosTableFrom(quarn::sys::FirmwarePlatform& platform, unsigned char* buffer, int* size, int& versionNumber,
                        std::string* printed) {
  // No failure is reported to the caller: whatever goes wrong below leaves
  // the buffer without a table. Only memory exhaustion goes on up.
  try {
    if (!platform.HasFirmwareTableService()) return ReadMemoryWay(platform, buffer, size, printed);
    int version = 0;
    const int copied = ReadFirmwareWay(platform, buffer, size, version, printed);
    if (copied > 0) versionNumber = version;
    return copied;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (...) {
    return 0;
  }
}

TableBuffer FetchTableBuffer(quarn::sys::FirmwarePlatform& platform, std::string* printed) {
  TableBuffer table;
  table.bytes.assign(kTableBufferBytes, 0);
  int capacity = static_cast<int>(kTableBufferBytes);
  int versionNumber = -1;
  table.delivered = ReadSmbiosTableFrom(platform, table.bytes.data(), &capacity, versionNumber, printed);
  if (capacity > static_cast<int>(kTableBufferBytes)) {
    table.bytes.assign(static_cast<std::size_t>(capacity), 0);
    int needed = capacity;
    table.delivered = ReadSmbiosTableFrom(platform, table.bytes.data(), &needed, versionNumber, printed);
  }
  table.versionNumber = versionNumber;
  return table;
}

}  // namespace smbios
}  // namespace quarn
