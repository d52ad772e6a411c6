#include "SmbiosDump.h"

#include "hwinfo/SmbiosParsing.h"
#include "util/platform/ReadFile.h"

namespace quarn_tools {
namespace {

// The dumps' bound: the firmware's, and room for an entry point before it.
const std::size_t kMostDumpBytes = quarn::sys::kMostFirmwareBytes + 64;

bool Readable(kqt::sys::ReadStatus status, const std::string& path, std::string& error) {
  switch (status) {
    case kqt::sys::ReadStatus::kOk:
      return true;
    case kqt::sys::ReadStatus::kMissing:
      error = path + ": no such file";
      break;
    case kqt::sys::ReadStatus::kNotRegular:
      error = path + ": not a regular file";
      break;
    case kqt::sys::ReadStatus::kTooLarge:
      error = path + ": larger than the 16 MiB an SMBIOS table may have";
      break;
    case kqt::sys::ReadStatus::kFailed:
      error = path + ": cannot be read";
      break;
  }
  return false;
}

bool ReadDumpFile(const std::string& path, std::string& bytes, std::string& error) {
  return Readable(kqt::sys::ReadRegularFile(path, kMostDumpBytes, bytes), path, error);
}

const unsigned char* Bytes(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

bool StartsWithAnchor(const std::string& bytes) {
  return bytes.compare(0, 4, "_SM_") == 0 || bytes.compare(0, 5, "_SM3_") == 0;
}

void UseBlock(FirmwareRecord& firmware, const std::vector<unsigned char>& block) {
  firmware.firmwareService = true;
  firmware.blockGiven = true;
  firmware.block.assign(block.begin(), block.end());
}

bool KernelPair(const std::string& dir, FirmwareRecord& firmware, std::string& error) {
  std::string entry, table;
  if (!ReadDumpFile(dir + "/DMI", table, error)) return false;
  if (kqt::sys::ReadRegularFile(dir + "/smbios_entry_point", kMostDumpBytes, entry) == kqt::sys::ReadStatus::kMissing) {
    error = dir + ": a DMI table without its smbios_entry_point: a table alone has no version";
    return false;
  }
  if (!ReadDumpFile(dir + "/smbios_entry_point", entry, error)) return false;
  quarn::smbios::EntryPoint point;
  if (!quarn::smbios::ReadEntryPoint(Bytes(entry), entry.size(), point)) {
    error = dir + "/smbios_entry_point: no SMBIOS entry point (anchor, length or checksum wrong)";
    return false;
  }
  UseBlock(firmware, quarn::smbios::FirmwareBlockOf(point, Bytes(table), table.size()));
  return true;
}

}  // namespace

bool FirmwareOfDump(const std::string& path, FirmwareRecord& firmware, std::string& form, std::string& error) {
  firmware = FirmwareRecord();
  std::string bytes;
  const kqt::sys::ReadStatus status = kqt::sys::ReadRegularFile(path, kMostDumpBytes, bytes);
  if (status == kqt::sys::ReadStatus::kNotRegular) {  // a directory: the kernel's two files
    form = "the kernel's smbios_entry_point and DMI";
    return KernelPair(path, firmware, error);
  }
  if (!Readable(status, path, error)) return false;
  const std::string::size_type slash = path.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (StartsWithAnchor(bytes) && name == "smbios_entry_point") {
    form = "the kernel's smbios_entry_point and DMI";
    return KernelPair(slash == std::string::npos ? "." : path.substr(0, slash), firmware, error);
  }
  if (StartsWithAnchor(bytes)) {
    form = "dmidecode --dump-bin";
    quarn::smbios::EntryPoint point;
    if (!quarn::smbios::ReadEntryPoint(Bytes(bytes), bytes.size(), point)) {
      error = path + ": its entry point is broken (length or checksum wrong)";
      return false;
    }
    // dmidecode writes the table after the entry point and its address
    // there; an address outside the file is not a dump of this form.
    if (point.tableAddress < 16 || point.tableAddress >= bytes.size()) {
      error = path + ": the entry point's table address (" + std::to_string(point.tableAddress) +
              ") is not in the file: not a dmidecode --dump-bin file";
      return false;
    }
    const std::size_t offset = static_cast<std::size_t>(point.tableAddress);
    const std::size_t length = std::min<std::size_t>(point.tableLength, bytes.size() - offset);
    UseBlock(firmware, quarn::smbios::FirmwareBlockOf(point, Bytes(bytes) + offset, length));
    return true;
  }
  // A raw block: its header's length is that of the table after it.
  quarn::smbios::FirmwareBlockView view;
  if (bytes.size() > 8 && quarn::smbios::ReadFirmwareBlock(Bytes(bytes), bytes.size(), view) &&
      view.tableLength == bytes.size() - 8 && static_cast<unsigned char>(bytes[0]) <= 1) {
    form = "a Windows RSMB block";
    UseBlock(firmware, std::vector<unsigned char>(bytes.begin(), bytes.end()));
    return true;
  }
  error = path +
          ": neither a dmidecode --dump-bin file, the kernel's smbios_entry_point and DMI, nor a Windows RSMB "
          "block (a table alone has no version: give its entry point too)";
  return false;
}

}  // namespace quarn_tools
