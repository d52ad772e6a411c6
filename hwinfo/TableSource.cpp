// Where the table comes from, for the inspector: built into it with the
// firmware seam, apart from the library (which exports neither).
#include <vector>

#include "hwinfo/SmbiosAcquisition.h"
#include "hwinfo/SmbiosParsing.h"
#include "hwinfo/platform/FirmwarePlatform.h"

namespace quarn {
namespace smbios {

TableSource DescribeTableSource() { return DescribeTableSource(quarn::sys::CurrentFirmwarePlatform()); }

TableSource DescribeTableSource(quarn::sys::FirmwarePlatform& platform) {
  TableSource source;
  source.firmwareService = platform.HasFirmwareTableService();
  if (!source.firmwareService) {
    // The BIOS window as the memory way reads it, for the entry point's
    // version, which the library does not consult.
    std::vector<unsigned char> window(kBiosWindowLength, 0);
    std::string ignored;
    EntryPoint entry;
    if (platform.ReadPhysicalMemory(kBiosWindowStart, kBiosWindowLength, window.data(), ignored) &&
        FindEntryPoint(window.data(), window.size(), entry)) {
      source.entryPointFound = true;
      source.major = entry.major;
      source.minor = entry.minor;
    }
    return source;
  }
  const quarn::sys::FirmwareBlock block = platform.FirmwareSmbiosBlock();
  FirmwareBlockView view;
  if (block.status != quarn::sys::FirmwareBlock::kOk ||
      !ReadFirmwareBlock(block.bytes.data(), block.bytes.size(), view))
    return source;
  source.blockRead = true;
  source.major = view.major;
  source.minor = view.minor;
  source.versionNumber = VersionNumber(view.major, view.minor);
  source.tableLength = view.tableLength;
  return source;
}

}  // namespace smbios
}  // namespace quarn
