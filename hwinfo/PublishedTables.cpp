// The SMBIOS entry point and table as a Linux kernel publishes them, read
// from their files: the firmware seam's source on Linux, and a dump of them
// from any machine.
#include "hwinfo/SmbiosAcquisition.h"
#include "hwinfo/SmbiosParsing.h"
#include "util/platform/ReadFile.h"

namespace quarn {
namespace smbios {

bool ReadPublishedFile(const std::string& path, std::string& content, std::string& reason) {
  // Regular files only, in one bounded read: a FIFO, device or directory put
  // in their place is refused at once.
  switch (kqt::sys::ReadRegularFile(path, quarn::sys::kMostFirmwareBytes, content)) {
    case kqt::sys::ReadStatus::kOk:
      return true;
    case kqt::sys::ReadStatus::kMissing:
      reason = path + ": No such file or directory\n";
      return false;
    case kqt::sys::ReadStatus::kNotRegular:
      reason = path + ": not a regular file\n";
      return false;
    case kqt::sys::ReadStatus::kTooLarge:
      reason = path + ": larger than any SMBIOS table\n";
      return false;
    case kqt::sys::ReadStatus::kFailed:
      break;
  }
  reason = path + ": cannot be read\n";
  return false;
}

}  // namespace smbios
namespace sys {

FirmwareBlock ReadPublishedTables(const std::string& dir) {
  FirmwareBlock block;
  std::string entry, table;
  if (!quarn::smbios::ReadPublishedFile(dir + "/smbios_entry_point", entry, block.diagnostic) ||
      !quarn::smbios::ReadPublishedFile(dir + "/DMI", table, block.diagnostic))
    return block;
  // The version from the entry point ("_SM_" for 2.x, "_SM3_" for 3.x),
  // read and checked as any reader of the firmware's entry point.
  quarn::smbios::EntryPoint point;
  if (!quarn::smbios::ReadEntryPoint(reinterpret_cast<const unsigned char*>(entry.data()), entry.size(), point)) {
    block.diagnostic = dir + "/smbios_entry_point: no SMBIOS entry point (anchor, length or checksum wrong)\n";
    return block;
  }
  block.bytes =
      quarn::smbios::FirmwareBlockOf(point, reinterpret_cast<const unsigned char*>(table.data()), table.size());
  block.status = FirmwareBlock::kOk;
  return block;
}

}  // namespace sys
}  // namespace quarn
