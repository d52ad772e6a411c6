#include "bundle/SmbiosDump.h"

#include <cstdint>

#include "bundle/InstallationFiles.h"
#include "hwinfo/SmbiosAcquisition.h"
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

// One of the kernel's files, as the firmware seam reads it.
bool PublishedFile(const std::string& path, std::string& bytes, std::string& error) {
  if (quarn::smbios::ReadPublishedFile(path, bytes, error)) return true;
  error = error.substr(0, error.find_last_not_of('\n') + 1);
  return false;
}

const unsigned char* Bytes(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

bool StartsWithAnchor(const std::string& bytes) {
  return bytes.compare(0, 4, "_SM_") == 0 || bytes.compare(0, 5, "_SM3_") == 0 || bytes.compare(0, 5, "_DMI_") == 0;
}

void UseBlock(FirmwareRecord& firmware, const std::vector<unsigned char>& block) {
  firmware.firmwareService = true;
  firmware.blockGiven = true;
  firmware.block.assign(block.begin(), block.end());
}

// The table length a firmware block's header declares (bytes 4-7).
std::uint64_t DeclaredBlockLength(const std::string& bytes) {
  std::uint64_t length = 0;
  for (int i = 7; i >= 4; --i) length = length << 8 | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
  return length;
}

// Whether `bytes` may be a table: its first structure's header fits and
// says a length a structure can have.
bool LooksLikeTable(const std::string& bytes) {
  return bytes.size() >= 4 && static_cast<unsigned char>(bytes[1]) >= 4 &&
         static_cast<unsigned char>(bytes[1]) <= bytes.size();
}

// A table alone, as the firmware-table service would give it with the
// version given.
bool TableAlone(const std::string& where, const std::string& table, const GivenTableVersion& version,
                FirmwareRecord& firmware, std::string& error) {
  if (!version.given) {
    error = where +
            ": a table alone has no version: give it with --smbios-version (dmidecode prints it), or "
            "give the entry point too";
    return false;
  }
  if (!LooksLikeTable(table)) {
    error = where + ": not an SMBIOS table (its first structure's header is not one)";
    return false;
  }
  quarn::smbios::EntryPoint point;
  point.major = version.major;
  point.minor = version.minor;
  UseBlock(firmware, quarn::smbios::FirmwareBlockOf(point, Bytes(table), table.size()));
  return true;
}

// A version given with a dump that carries its own is a mistake to say,
// not to choose between.
bool NoVersionGiven(const std::string& where, const GivenTableVersion& version, std::string& error) {
  if (!version.given) return true;
  error = where + ": --smbios-version is for a table alone; this dump carries its own version";
  return false;
}

// The kernel's two files, read as the firmware seam reads them on Linux.
bool KernelPair(const std::string& dir, FirmwareRecord& firmware, std::string& form, std::string& error,
                const GivenTableVersion& version) {
  std::string entry, table;
  if (!PublishedFile(dir + "/DMI", table, error)) return false;
  if (kqt::sys::ReadRegularFile(dir + "/smbios_entry_point", kMostDumpBytes, entry) == kqt::sys::ReadStatus::kMissing) {
    form = "the kernel's DMI alone, with the version given";
    return TableAlone(dir + "/DMI", table, version, firmware, error);
  }
  if (!NoVersionGiven(dir, version, error)) return false;
  const quarn::sys::FirmwareBlock block = quarn::sys::ReadPublishedTables(dir);
  if (block.status != quarn::sys::FirmwareBlock::kOk) {
    error = block.diagnostic.substr(0, block.diagnostic.find_last_not_of('\n') + 1);
    return false;
  }
  UseBlock(firmware, block.bytes);
  return true;
}

}  // namespace

bool ParseTableVersion(const std::string& text, GivenTableVersion& version) {
  unsigned major = 0, minor = 0;
  std::size_t dot = text.find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == text.size() || text.size() > 7) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == dot) continue;
    if (text[i] < '0' || text[i] > '9') return false;
    unsigned& part = i < dot ? major : minor;
    part = part * 10 + static_cast<unsigned>(text[i] - '0');
  }
  if (major > 255 || minor > 255 || major == 0) return false;
  version.given = true;
  version.major = static_cast<unsigned char>(major);
  version.minor = static_cast<unsigned char>(minor);
  return true;
}

bool FirmwareOfDump(const std::string& path, FirmwareRecord& firmware, std::string& form, std::string& error,
                    const GivenTableVersion& tableVersion) {
  firmware = FirmwareRecord();
  std::string bytes;
  const kqt::sys::ReadStatus status = kqt::sys::ReadRegularFile(path, kMostDumpBytes, bytes);
  if (status == kqt::sys::ReadStatus::kNotRegular) {
    const std::string kind = FileKind(path);
    if (kind != "a directory") {  // a FIFO or a device: nothing to wait for, nothing to read
      error = path + ": " + kind + ", not a dump";
      return false;
    }
    form = "the kernel's smbios_entry_point and DMI";
    return KernelPair(path, firmware, form, error, tableVersion);
  }
  if (!Readable(status, path, error)) return false;
  const std::string::size_type slash = path.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (StartsWithAnchor(bytes) && name == "smbios_entry_point") {
    form = "the kernel's smbios_entry_point and DMI";
    return KernelPair(slash == std::string::npos ? "." : path.substr(0, slash), firmware, form, error, tableVersion);
  }
  if (StartsWithAnchor(bytes)) {
    form = "dmidecode --dump-bin";
    if (!NoVersionGiven(path, tableVersion, error)) return false;
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
  // A raw block: its header declares exactly the bytes after it (the
  // block reader cuts a longer claim to what is there, which a table that
  // starts with structure type 0 or 1 would pass).
  if (bytes.size() > 8 && static_cast<unsigned char>(bytes[0]) <= 1 && DeclaredBlockLength(bytes) == bytes.size() - 8) {
    form = "a Windows RSMB block";
    if (!NoVersionGiven(path, tableVersion, error)) return false;
    UseBlock(firmware, std::vector<unsigned char>(bytes.begin(), bytes.end()));
    return true;
  }
  if (tableVersion.given) {
    form = "a table alone, with the version given";
    return TableAlone(path, bytes, tableVersion, firmware, error);
  }
  error = path +
          ": neither a dmidecode --dump-bin file, the kernel's smbios_entry_point and DMI, nor a Windows RSMB "
          "block (a table alone has no version: give it with --smbios-version)";
  return false;
}

}  // namespace quarn_tools
