// Real SMBIOS tables of real machines, read in place from the shared test
// data (MANIFEST.tsv describes each), one test case per machine. Each table
// is given to the library as the firmware would give it, under a hypervisor
// that is neither Xen nor Microsoft; its UUID must be the one dmidecode reads
// for tables of SMBIOS 2.6 or later, and for older ones the stored bytes
// with the first three fields swapped (the library swaps from 2.1 on),
// written out here by hand.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <sstream>

#include "hwinfo/HwInfo.h"
#include "hwinfo/SmbiosParsing.h"
#include "support/SmbiosCorpus.h"
#include "support/TestSupport.h"

namespace {

const char kCorpus[] = QUARN_SMBIOS_TESTDATA;

using quarn_test::Dump;
using quarn_test::FileBytes;

std::vector<Dump> Manifest() { return quarn_test::Manifest(kCorpus); }

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The manifest's stored UUID bytes (32 hexadecimal digits), the first three
// fields reversed, in the 8-4-4-4-12 form.
std::string SwappedUuid(const std::string& hex) {
  const std::string b = Lower(hex);
  const auto byte = [&](size_t i) { return b.substr(2 * i, 2); };
  return byte(3) + byte(2) + byte(1) + byte(0) + "-" + byte(5) + byte(4) + "-" + byte(7) + byte(6) + "-" + byte(8) +
         byte(9) + "-" + b.substr(20);
}

// The version the manifest gives, as major and minor; 3.0 where the dump
// has no entry point (the firmware block then says 3.0).
void ManifestVersion(const Dump& dump, unsigned& major, unsigned& minor) {
  major = 3, minor = 0;
  if (dump.version != "unknown") std::sscanf(dump.version.c_str(), "%u.%u", &major, &minor);
}

std::vector<Dump> WithEntryPoints() {
  std::vector<Dump> dumps;
  for (const Dump& dump : Manifest())
    if (dump.entryPoint == "_SM_" || dump.entryPoint == "_SM3_") dumps.push_back(dump);
  return dumps;
}

std::string TestName(const ::testing::TestParamInfo<Dump>& info) {
  std::string name = info.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

class SmbiosCorpus : public ::testing::TestWithParam<Dump> {};
class SmbiosCorpusEntryPoint : public ::testing::TestWithParam<Dump> {};

}  // namespace

TEST_P(SmbiosCorpus, GivesTheUuidOfItsTable) {
  const Dump& dump = GetParam();
  const std::string dir = std::string(kCorpus) + "/" + dump.name;
  // The block as the firmware-table service gives it: the Windows dumps
  // have theirs; the others get a header with the entry point's version.
  std::vector<unsigned char> block = FileBytes(dir + "/RSMB");
  unsigned major, minor;
  ManifestVersion(dump, major, minor);
  if (block.empty())
    block = quarn_test::FirmwareBlockBytes(static_cast<unsigned char>(major), static_cast<unsigned char>(minor),
                                           FileBytes(dir + "/DMI"));
  ASSERT_GT(block.size(), 8u);
  quarn_test::FakePlatform platform;
  quarn_test::UseHypervisor(platform, "TestHvTestHv");
  platform.firmwareTableService = 1;
  platform.firmwareBlock = [&] {
    quarn::sys::FirmwareBlock result;
    result.status = quarn::sys::FirmwareBlock::kOk;
    result.bytes = block;
    return result;
  };
  quarn_test::ScopedFakePlatform use(platform);

  std::vector<unsigned char> buffer(0x10000, 0);
  int size = static_cast<int>(buffer.size());
  CHwInfo::GetSMBiosData(buffer.data(), &size);
  const std::string uuid = Lower(CHwInfo(buffer.data(), size).GetMachineid());

  const bool sinceTwoSix = major > 2 || (major == 2 && minor >= 6);
  if (sinceTwoSix) {
    std::string expected = dump.dmidecodeUuid;
    if (expected == "Not Present") expected = "ffffffff-ffff-ffff-ffff-ffffffffffff";
    if (expected == "Not Settable") expected = "00000000-0000-0000-0000-000000000000";
    EXPECT_EQ(uuid, expected) << "SMBIOS " << major << "." << minor << ", as dmidecode reads it";
  } else {
    EXPECT_EQ(uuid, SwappedUuid(dump.rawUuid)) << "SMBIOS " << major << "." << minor << ": swapped from 2.1 on";
  }

  // The same table walked in a buffer of exactly its size: under
  // AddressSanitizer any read past it stops the test. Each structure found
  // lies inside the table and is of the type asked for.
  quarn::smbios::FirmwareBlockView view;
  ASSERT_TRUE(quarn::smbios::ReadFirmwareBlock(block.data(), block.size(), view));
  const std::vector<unsigned char> exact(view.table, view.table + view.tableLength);
  EXPECT_EQ(Lower(CHwInfo(const_cast<unsigned char*>(exact.data()), static_cast<int>(exact.size())).GetMachineid()),
            uuid);
  int found = 0;
  for (int type = 0; type < 256; ++type) {
    const unsigned char* structure =
        quarn::smbios::FindStructure(exact.data(), exact.size(), static_cast<unsigned char>(type));
    if (!structure) continue;
    ++found;
    EXPECT_LT(static_cast<size_t>(structure - exact.data()), exact.size());
    EXPECT_EQ(*structure, type);
  }
  EXPECT_GE(found, 2) << "a BIOS and a System Information structure at least";
}

// The DMTF's form of the UUID, which the inspector shows beside the
// agent's: as dmidecode prints it, for every machine; and which UUIDs are
// placeholders rather than identities (the four the manifest names).
TEST_P(SmbiosCorpus, ItsDmtfUuidIsWhatDmidecodePrints) {
  const Dump& dump = GetParam();
  std::vector<unsigned char> raw;
  for (size_t i = 0; i + 1 < dump.rawUuid.size(); i += 2)
    raw.push_back(static_cast<unsigned char>(std::stoi(dump.rawUuid.substr(i, 2), nullptr, 16)));
  ASSERT_EQ(raw.size(), 16u);
  unsigned major, minor;
  ManifestVersion(dump, major, minor);
  const bool swapped =
      quarn::smbios::DmtfSwapsUuidFields(static_cast<unsigned char>(major), static_cast<unsigned char>(minor));
  const std::string dmtf = Lower(quarn::smbios::FormatUuid(raw.data(), swapped));
  const char* placeholder = quarn::smbios::UuidPlaceholder(raw.data());
  if (dump.dmidecodeUuid == "Not Present") {
    EXPECT_EQ(dmtf, "ffffffff-ffff-ffff-ffff-ffffffffffff");
  } else if (dump.dmidecodeUuid == "Not Settable") {
    EXPECT_EQ(dmtf, "00000000-0000-0000-0000-000000000000");
  } else {
    EXPECT_EQ(dmtf, dump.dmidecodeUuid) << "SMBIOS " << major << "." << minor;
  }
  const bool known = dump.name == "msi-ms-7816" || dump.name == "qemu-kvm-2.4" || dump.name == "synology-rs3614xs" ||
                     dump.name == "beelink-eq12";
  EXPECT_EQ(placeholder != nullptr, known) << (placeholder ? placeholder : "an identity");
}

// The kernel's entry point file, where the dump has one: the library's
// reader takes it, with the form and version the manifest gives.
TEST_P(SmbiosCorpusEntryPoint, IsReadAsTheManifestSays) {
  const Dump& dump = GetParam();
  const std::vector<unsigned char> bytes = FileBytes(std::string(kCorpus) + "/" + dump.name + "/smbios_entry_point");
  quarn::smbios::EntryPoint entry;
  ASSERT_TRUE(quarn::smbios::ReadEntryPoint(bytes.data(), bytes.size(), entry));
  EXPECT_EQ(entry.is64Bit, dump.entryPoint == "_SM3_");
  unsigned major, minor;
  ManifestVersion(dump, major, minor);
  EXPECT_EQ(entry.major, major);
  EXPECT_EQ(entry.minor, minor);
  // One byte changed breaks the checksum.
  std::vector<unsigned char> changed = bytes;
  changed[changed.size() / 2] ^= 0x01;
  EXPECT_FALSE(quarn::smbios::ReadEntryPoint(changed.data(), changed.size(), entry));
}

INSTANTIATE_TEST_SUITE_P(Machines, SmbiosCorpus, ::testing::ValuesIn(Manifest()), TestName);
INSTANTIATE_TEST_SUITE_P(Machines, SmbiosCorpusEntryPoint, ::testing::ValuesIn(WithEntryPoints()), TestName);
// Where the shared test data is absent there are no machines: the test
// below says so.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SmbiosCorpus);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SmbiosCorpusEntryPoint);

TEST(SmbiosCorpusData, LiesBesideTheCheckout) {
  const std::vector<Dump> dumps = Manifest();
  if (dumps.empty())
    GTEST_SKIP() << "no SMBIOS test data at " << kCorpus << " (the shared test data is not beside the checkout)";
  EXPECT_EQ(dumps.size(), 31u);
}
