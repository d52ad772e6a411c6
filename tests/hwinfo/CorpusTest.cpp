// Real SMBIOS tables of real machines, read in place from the shared test
// data (MANIFEST.tsv describes each). Each table is given to the library as
// the firmware would give it, under a hypervisor that is neither Xen nor
// Microsoft, and must yield the UUID dmidecode reads for tables of SMBIOS
// 2.6 or later, and the library's own order for older ones.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>

#include "hwinfo/HwInfo.h"
#include "hwinfo/SmbiosParsing.h"
#include "support/TestSupport.h"

namespace {

struct Dump {
  std::string name, entryPoint, version, dmidecodeUuid, rawUuid;
};

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

std::vector<Dump> Manifest(const std::string& dir) {
  std::vector<Dump> dumps;
  std::ifstream in(dir + "/MANIFEST.tsv");
  std::string line;
  std::getline(in, line);  // column names
  while (std::getline(in, line)) {
    const std::vector<std::string> f = Fields(line);
    if (f.size() >= 13) dumps.push_back(Dump{f[0], f[6], f[7], f[11], f[12]});
  }
  return dumps;
}

std::vector<unsigned char> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<unsigned char> HexBytes(const std::string& hex) {
  std::vector<unsigned char> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

TEST(SmbiosCorpus, EveryRealTableGivesItsUuid) {
  const std::string dir = QUARN_SMBIOS_TESTDATA;
  const std::vector<Dump> dumps = Manifest(dir);
  if (dumps.empty())
    GTEST_SKIP() << "no SMBIOS test data at " << dir << " (the shared test data is not beside the checkout)";

  quarn_test::FakePlatform platform;
  platform.cpuid = [](std::uint32_t) { return quarn_test::SignatureRegisters("TestHvTestHv", 0); };
  platform.firmwareTableService = 1;
  quarn_test::ScopedFakePlatform use(platform);

  for (const Dump& dump : dumps) {
    SCOPED_TRACE(dump.name);
    // The block as the firmware-table service gives it: the Windows dumps
    // have theirs; the others get a header with the entry point's version
    // (3.0 where the dump has no entry point).
    std::vector<unsigned char> block = FileBytes(dir + "/" + dump.name + "/RSMB");
    if (block.empty()) {
      unsigned major = 3, minor = 0;
      if (dump.version != "unknown") std::sscanf(dump.version.c_str(), "%u.%u", &major, &minor);
      block = quarn_test::FirmwareBlockBytes(static_cast<unsigned char>(major), static_cast<unsigned char>(minor),
                                             FileBytes(dir + "/" + dump.name + "/DMI"));
    }
    ASSERT_GT(block.size(), 8u);
    platform.firmwareBlock = [&] {
      quarn::sys::FirmwareBlock result;
      result.status = quarn::sys::FirmwareBlock::kOk;
      result.bytes = block;
      return result;
    };

    std::vector<unsigned char> buffer(0x10000, 0);
    int size = static_cast<int>(buffer.size());
    CHwInfo::GetSMBiosData(buffer.data(), &size);
    const std::string uuid = Lower(CHwInfo(buffer.data(), size).GetMachineid());

    // The same table walked in a buffer of exactly its size: under
    // AddressSanitizer any read past it stops the test.
    quarn::smbios::FirmwareBlockView view;
    ASSERT_TRUE(quarn::smbios::ReadFirmwareBlock(block.data(), block.size(), view));
    std::vector<unsigned char> exact(view.table, view.table + view.tableLength);
    EXPECT_EQ(Lower(CHwInfo(exact.data(), static_cast<int>(exact.size())).GetMachineid()), uuid);
    for (int type = 0; type < 256; ++type)
      quarn::smbios::FindStructure(exact.data(), exact.size(), static_cast<unsigned char>(type));

    const std::vector<unsigned char> raw = HexBytes(dump.rawUuid);
    ASSERT_EQ(raw.size(), 16u);
    const bool swapped = quarn::smbios::VersionNumber(view.major, view.minor) >= 518;
    EXPECT_EQ(uuid, Lower(quarn::smbios::UuidText(raw.data(), swapped)));
    if (view.major > 2 || (view.major == 2 && view.minor >= 6)) {
      std::string expected = dump.dmidecodeUuid;
      if (expected == "Not Present") expected = "ffffffff-ffff-ffff-ffff-ffffffffffff";
      if (expected == "Not Settable") expected = "00000000-0000-0000-0000-000000000000";
      EXPECT_EQ(uuid, expected) << "SMBIOS " << int(view.major) << "." << int(view.minor);
    }
  }
}
