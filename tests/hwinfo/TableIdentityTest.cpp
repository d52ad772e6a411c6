// The identity the agent makes of a table buffer: its UUID in the agent's
// and the DMTF's form, the placeholder values, and the checksum.
#include "hwinfo/TableIdentity.h"

#include <gtest/gtest.h>

#include "support/SmbiosTables.h"

namespace {

using quarn::smbios::AgentRule;
using quarn::smbios::HardwareIdentity;
using quarn::smbios::IdentifyTable;
using quarn::smbios::TableVersion;
using quarn_test::Bytes;

// A checksum the test can see through: the buffer's size and first byte.
unsigned SizeAndFirst(const unsigned char* data, std::size_t size) {
  return static_cast<unsigned>(size) * 256 + (size ? data[0] : 0);
}

TableVersion Version(unsigned char major, unsigned char minor) {
  TableVersion version;
  version.known = true;
  version.major = major;
  version.minor = minor;
  return version;
}

// The table stores 3d 12 19 c7 c4 c5 40 4a aa 1f 6d 2a 48 ad fd a4.
const Bytes kStored = {0x3d, 0x12, 0x19, 0xc7, 0xc4, 0xc5, 0x40, 0x4a, 0xaa, 0x1f, 0x6d, 0x2a, 0x48, 0xad, 0xfd, 0xa4};
const char kStoredInOrder[] = "3d1219c7-c4c5-404a-aa1f-6d2a48adfda4";
const char kFieldsSwapped[] = "c719123d-c5c4-4a40-aa1f-6d2a48adfda4";

HardwareIdentity Identify(const Bytes& uuid, AgentRule rule, TableVersion version, std::size_t padding = 64) {
  static Bytes buffer;
  buffer = quarn_test::Concat({quarn_test::SystemInformation(uuid), quarn_test::EndOfTable()});
  const int delivered = static_cast<int>(buffer.size());
  buffer.resize(buffer.size() + padding, 0);
  return IdentifyTable({buffer.data(), buffer.size(), delivered}, rule, version, SizeAndFirst);
}

TEST(TableIdentity, TheAgentsFormFollowsItsRuleAndTheDmtfFormTheTablesVersion) {
  // SMBIOS 2.4 by the firmware-table service: the agent swaps, the DMTF not.
  HardwareIdentity id = Identify(kStored, {8192, false}, Version(2, 4));
  EXPECT_EQ(id.agentUuid, kFieldsSwapped);
  EXPECT_EQ(id.machineId, "C719123D-C5C4-4A40-AA1F-6D2A48ADFDA4");
  EXPECT_TRUE(id.agentSwaps);
  EXPECT_EQ(id.dmtfUuid, kStoredInOrder);
  EXPECT_FALSE(id.dmtfSwaps);
  EXPECT_EQ(id.placeholder, nullptr);

  // 3.0: both swap.
  id = Identify(kStored, {768, false}, Version(3, 0));
  EXPECT_EQ(id.agentUuid, kFieldsSwapped);
  EXPECT_EQ(id.dmtfUuid, kFieldsSwapped);

  // Under a Xen or Microsoft hypervisor the agent prints the bytes as stored.
  id = Identify(kStored, {768, true}, Version(2, 8));
  EXPECT_EQ(id.agentUuid, kStoredInOrder);
  EXPECT_FALSE(id.agentSwaps);
  EXPECT_EQ(id.dmtfUuid, kFieldsSwapped);

  // A table found in memory: no version held, none known for the DMTF form.
  id = Identify(kStored, {0, false}, TableVersion());
  EXPECT_EQ(id.agentUuid, kStoredInOrder);
  EXPECT_FALSE(id.dmtfKnown);
  EXPECT_EQ(id.dmtfUuid, "");
}

TEST(TableIdentity, PlaceholdersAreNamed) {
  EXPECT_STREQ(Identify(Bytes(16, 0), {768, false}, Version(2, 7)).placeholder,
               "all zero: the firmware left the UUID unset");
  EXPECT_STREQ(Identify(Bytes(16, 0xFF), {768, false}, Version(2, 7)).placeholder,
               "all FF: the firmware says there is no UUID");
  const Bytes unfilled = {0x03, 0x00, 0x02, 0x00, 0x04, 0x00, 0x05, 0x00,
                          0x00, 0x06, 0x00, 0x07, 0x00, 0x08, 0x00, 0x09};
  EXPECT_NE(Identify(unfilled, {768, false}, Version(2, 7)).placeholder, nullptr);
}

// The checksum covers the whole buffer; a UUID in the padding, past what the
// firmware delivered, is made up: the library answers none.
TEST(TableIdentity, TheChecksumCoversTheBufferAndAUuidMustLieInDeliveredBytes) {
  const HardwareIdentity id = Identify(kStored, {768, false}, Version(3, 0), 100);
  const std::size_t table = quarn_test::SystemInformation(kStored).size() + quarn_test::EndOfTable().size();
  EXPECT_EQ(id.checksum, static_cast<unsigned>(table + 100) * 256 + 1);  // type 1 first

  Bytes buffer = quarn_test::SystemInformation(kStored);
  buffer.resize(buffer.size() + 8, 0);
  const HardwareIdentity cut =
      IdentifyTable({buffer.data(), buffer.size(), 20}, {768, false}, Version(3, 0), SizeAndFirst);
  EXPECT_EQ(cut.machineId, "C719123D-C5C4-4A40-AA1F-6D2A48ADFDA4");  // the walk finds it...
  EXPECT_EQ(cut.agentUuid, "");                                      // ...but not in what was delivered

  const HardwareIdentity none = IdentifyTable({nullptr, 0, 0}, {768, false}, Version(3, 0), SizeAndFirst);
  EXPECT_EQ(none.agentUuid, "");
  EXPECT_EQ(none.checksum, 0u);
}

}  // namespace
