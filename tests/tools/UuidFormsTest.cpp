#include "UuidForms.h"

#include <gtest/gtest.h>

namespace {

using quarn_tools::DescribeUuidForms;
using quarn_tools::TableVersion;
using quarn_tools::UuidForms;

TableVersion Block(unsigned char major, unsigned char minor) {
  TableVersion version;
  version.known = true;
  version.major = major;
  version.minor = minor;
  version.fromFirmwareService = true;
  return version;
}

// The table stores 3d 12 19 c7 c4 c5 40 4a aa 1f 6d 2a 48 ad fd a4: the
// agent prints it with its first three fields swapped from version number
// 518 on, the DMTF form from SMBIOS 2.6 on.
const char kStoredInOrder[] = "3d1219c7-c4c5-404a-aa1f-6d2a48adfda4";
const char kFieldsSwapped[] = "c719123d-c5c4-4a40-aa1f-6d2a48adfda4";

TEST(UuidForms, TheDmtfFormFollowsTheTablesVersionAndSaysWhyItDiffers) {
  const UuidForms before26 = DescribeUuidForms(kFieldsSwapped, true, Block(2, 4));
  EXPECT_EQ(before26.dmtf, kStoredInOrder);
  EXPECT_TRUE(before26.formsDiffer);
  EXPECT_NE(before26.whyFormsDiffer.find("this table is SMBIOS 2.4"), std::string::npos) << before26.whyFormsDiffer;

  const UuidForms from26 = DescribeUuidForms("C719123D-C5C4-4A40-AA1F-6D2A48ADFDA4", true, Block(3, 0));
  EXPECT_EQ(from26.dmtf, kFieldsSwapped);
  EXPECT_FALSE(from26.formsDiffer);
  EXPECT_EQ(from26.whyFormsDiffer, "no: both swap the first three fields (SMBIOS 3.0)");

  // Under a Xen or Microsoft hypervisor the agent prints the bytes as stored.
  const UuidForms hypervisor = DescribeUuidForms(kStoredInOrder, false, Block(2, 8));
  EXPECT_EQ(hypervisor.dmtf, kFieldsSwapped);
  EXPECT_TRUE(hypervisor.formsDiffer);
  EXPECT_NE(hypervisor.whyFormsDiffer.find("hypervisor"), std::string::npos) << hypervisor.whyFormsDiffer;

  // A table found in memory whose entry point was not read has no version.
  const UuidForms noVersion = DescribeUuidForms(kStoredInOrder, false, TableVersion{});
  EXPECT_TRUE(noVersion.haveUuid);
  EXPECT_EQ(noVersion.dmtf, "");
}

TEST(UuidForms, PlaceholdersAreNamedAndTextsThatAreNoUuidGiveNothing) {
  EXPECT_EQ(DescribeUuidForms("00000000-0000-0000-0000-000000000000", true, Block(2, 7)).placeholder,
            "all zero: the firmware left the UUID unset");
  EXPECT_EQ(DescribeUuidForms("FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF", false, Block(2, 7)).placeholder,
            "all FF: the firmware says there is no UUID");
  // The value firmware ships unfilled, printed by either rule.
  for (bool swapped : {false, true}) {
    const char* text = swapped ? "00020003-0004-0005-0006-000700080009" : "03000200-0400-0500-0006-000700080009";
    EXPECT_NE(DescribeUuidForms(text, swapped, Block(2, 7)).placeholder, "") << text;
  }
  EXPECT_EQ(DescribeUuidForms(kFieldsSwapped, true, Block(2, 7)).placeholder, "");

  for (const char* text : {"", "c719123d-c5c4-4a40-aa1f-6d2a48adfda", "c719123dxc5c4-4a40-aa1f-6d2a48adfda4",
                           "g719123d-c5c4-4a40-aa1f-6d2a48adfda4", "c719123d-c5c4-4a40-aa1f-6d2a48adfda4-"}) {
    const UuidForms forms = DescribeUuidForms(text, true, Block(2, 7));
    EXPECT_FALSE(forms.haveUuid) << text;
    EXPECT_EQ(forms.dmtf, "") << text;
  }
}

}  // namespace
