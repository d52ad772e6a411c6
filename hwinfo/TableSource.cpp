// Where the table comes from, for the inspector: built into it with the
// firmware seam, apart from the library (which exports neither).
#include "hwinfo/SmbiosAcquisition.h"
#include "hwinfo/SmbiosParsing.h"
#include "hwinfo/platform/FirmwarePlatform.h"

namespace quarn {
namespace smbios {

TableSource DescribeTableSource() {
  TableSource source;
  quarn::sys::FirmwarePlatform& platform = quarn::sys::CurrentFirmwarePlatform();
  source.firmwareService = platform.HasFirmwareTableService();
  if (!source.firmwareService) return source;
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
