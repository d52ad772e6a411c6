// The SMBIOS byte rules, fed buffers built here.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "hwinfo/SmbiosParsing.h"
#include "support/SmbiosTables.h"

using namespace quarn::smbios;
using quarn_test::Bytes;

TEST(SmbiosVersion, MajorShiftedByEightPlusMinor) {
  EXPECT_EQ(VersionNumber(2, 0), 512);
  EXPECT_EQ(VersionNumber(2, 1), 1024);
  EXPECT_EQ(VersionNumber(2, 4), 8192);
  EXPECT_EQ(VersionNumber(2, 6), 32768);
  EXPECT_EQ(VersionNumber(3, 0), 768);
  EXPECT_EQ(VersionNumber(2, 31), 256);  // shift 39, taken modulo 32
  EXPECT_EQ(VersionNumber(3, 24), 3);
  EXPECT_EQ(VersionNumber(255, 23), INT_MIN);  // bits above 32 fall off
  EXPECT_EQ(VersionNumber(255, 255), 255 << 7);
}

TEST(SmbiosFirmwareBlock, HeaderVersionAndATableCutToWhatIsThere) {
  const Bytes table =
      quarn_test::Concat({quarn_test::SystemInformation(quarn_test::CountingUuid()), quarn_test::EndOfTable()});
  Bytes block = {0, 2, 7, 0, static_cast<unsigned char>(table.size()), 0, 0, 0};
  block.insert(block.end(), table.begin(), table.end());
  FirmwareBlockView view;
  ASSERT_TRUE(ReadFirmwareBlock(block.data(), block.size(), view));
  EXPECT_EQ(view.major, 2);
  EXPECT_EQ(view.minor, 7);
  EXPECT_EQ(view.table, block.data() + 8);
  EXPECT_EQ(view.tableLength, table.size());

  block[4] = 0xFF, block[5] = 0xFF, block[6] = 0xFF, block[7] = 0xFF;  // claims 4 GiB
  ASSERT_TRUE(ReadFirmwareBlock(block.data(), block.size(), view));
  EXPECT_EQ(view.tableLength, table.size());
  EXPECT_FALSE(ReadFirmwareBlock(block.data(), 7, view));
  EXPECT_FALSE(ReadFirmwareBlock(nullptr, 100, view));
}

TEST(SmbiosEntryPoint, FirstValidAnchorOnASixteenByteStep) {
  Bytes window(0x10000, 0);
  EntryPoint entry;
  EXPECT_FALSE(FindEntryPoint(window.data(), window.size(), entry));

  quarn_test::PutEntryPoint(window, 0x108, 0xE0000, 100);         // misaligned: never looked at
  quarn_test::PutEntryPoint(window, 0x200, 0xE1000, 200, false);  // checksum fails: skipped
  quarn_test::PutEntryPoint(window, 0x210, 0xF0450, 300);
  quarn_test::PutEntryPoint(window, 0x400, 0xF9000, 400);  // valid too, but later
  ASSERT_TRUE(FindEntryPoint(window.data(), window.size(), entry));
  EXPECT_EQ(entry.offset, 0x210u);
  EXPECT_EQ(entry.tableAddress, 0xF0450u);
  EXPECT_EQ(entry.tableLength, 300);
}

// A sum over fewer bytes than the form has vouches for nothing: a length byte
// of 0 sums to 0 over no bytes, and is refused, as is any length short of
// the form's (30 only for SMBIOS 2.1, which first gave that length).
TEST(SmbiosEntryPoint, ALengthShortOfTheFormIsRefusedAndNothingIsReadPastTheWindow) {
  Bytes window(64, 0);
  std::memcpy(window.data() + 32, "_SM_", 4);  // length byte 0, fields all zero
  EntryPoint entry;
  EXPECT_FALSE(FindEntryPoint(window.data(), window.size(), entry));
  for (unsigned char length : {5, 20, 28, 29, 30}) {  // 30 of a version other than 2.1 too
    Bytes shortEntry(32, 0);
    quarn_test::PutEntryPoint(shortEntry, 0, 0xE1000, 100);
    shortEntry[5] = length;
    shortEntry[4] = 0;
    shortEntry[4] = static_cast<unsigned char>(0 - quarn::smbios::ByteSum(shortEntry.data(), length));
    EXPECT_EQ(quarn::smbios::ByteSum(shortEntry.data(), length), 0);
    EXPECT_FALSE(ReadEntryPoint(shortEntry.data(), shortEntry.size(), entry)) << int(length);
  }
  Bytes erratum(32, 0);
  quarn_test::PutEntryPoint(erratum, 0, 0xE1000, 100);
  erratum[5] = 30;
  erratum[7] = 1;  // SMBIOS 2.1
  erratum[4] = 0;
  erratum[4] = static_cast<unsigned char>(0 - quarn::smbios::ByteSum(erratum.data(), 30));
  EXPECT_TRUE(ReadEntryPoint(erratum.data(), erratum.size(), entry));

  Bytes tail(48, 0);  // an anchor whose fields would lie beyond the end
  std::memcpy(tail.data() + 32, "_SM_", 4);
  EXPECT_FALSE(FindEntryPoint(tail.data(), tail.size(), entry));
  Bytes longEntry(64, 0);
  std::memcpy(longEntry.data() + 32, "_SM_", 4);
  longEntry[37] = 40;  // 40 bytes from offset 32 run past 64
  EXPECT_FALSE(FindEntryPoint(longEntry.data(), longEntry.size(), entry));
}

TEST(SmbiosWalk, FindsTheFirstOfATypeAlsoAfterTheEndOfTable) {
  const Bytes first = quarn_test::SystemInformation(quarn_test::CountingUuid());
  const Bytes table = quarn_test::Concat({quarn_test::Structure(0, {1, 2}, {"BIOS"}), quarn_test::EndOfTable(), first,
                                          quarn_test::SystemInformation(Bytes(16, 0xAA))});
  const unsigned char* found = FindStructure(table.data(), table.size(), 1);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found[8], 0x00);  // the first type-1 structure, not the second
  EXPECT_EQ(FindStructure(table.data(), table.size(), 127), table.data() + 12);
  EXPECT_EQ(FindStructure(table.data(), table.size(), 2), nullptr);
  EXPECT_EQ(FindStructure(table.data(), 0, 0), nullptr);
}

TEST(SmbiosWalk, ZeroFilledSpaceIsWalkedTwoBytesAtATime) {
  Bytes table = quarn_test::Concat({quarn_test::Structure(0, {}), quarn_test::EndOfTable()});
  const size_t used = table.size();
  table.resize(used + 1000, 0);
  EXPECT_EQ(FindStructure(table.data(), table.size(), 1), nullptr);
  // A type-0 search finds the zero-filled space itself only after the table.
  EXPECT_EQ(FindStructure(table.data() + used, table.size() - used, 0), table.data() + used);
}

TEST(SmbiosWalk, AStructureRunningPastTheEndEndsTheWalk) {
  Bytes table = quarn_test::Structure(0, {1, 2}, {"BIOS"});
  table.push_back(1);  // a type-1 header cut short
  table.push_back(27);
  EXPECT_NE(FindStructure(table.data(), table.size(), 1), nullptr);  // found, but ...
  unsigned char uuid[16];
  EXPECT_FALSE(TableUuidBytes(table.data(), table.size(), uuid));  // ... its UUID lies beyond the end

  Bytes unterminated = {3, 4, 0, 0, 'a', 'b', 'c'};  // no closing zeros
  EXPECT_EQ(FindStructure(unterminated.data(), unterminated.size(), 1), nullptr);
  Bytes overlong = {3, 200, 0, 0, 0, 0};  // formatted length beyond the end
  EXPECT_EQ(FindStructure(overlong.data(), overlong.size(), 1), nullptr);
}

TEST(SmbiosStrings, TextsAreCountedFromOneAndMustEndInsideTheBuffer) {
  const Bytes table =
      quarn_test::Concat({quarn_test::Structure(0, {1, 2}, {"Vendor", "1.2"}), quarn_test::EndOfTable()});
  const unsigned char* end = table.data() + table.size();
  EXPECT_STREQ(StructureString(table.data(), end, 1), "Vendor");
  EXPECT_STREQ(StructureString(table.data(), end, 2), "1.2");
  EXPECT_EQ(StructureString(table.data(), end, 3), nullptr);  // the set has two
  const Bytes cut(table.begin(), table.begin() + 9);          // "Ven" and no zero
  EXPECT_EQ(StructureString(cut.data(), cut.data() + cut.size(), 1), nullptr);
}

TEST(SmbiosUuid, AShortSystemStructureHasNoUuid) {
  // SMBIOS 2.0 defines type 1 with 8 formatted bytes: no UUID field.
  const Bytes table = quarn_test::Concat(
      {quarn_test::Structure(1, {1, 2, 3, 4}, {"M", "P", "V", "S"}), quarn_test::EndOfTable(), Bytes(64, 0x5A)});
  unsigned char uuid[16];
  EXPECT_FALSE(TableUuidBytes(table.data(), table.size(), uuid));
}

TEST(SmbiosUuid, ByteOrderByVersionAndHypervisor) {
  const Bytes uuid = quarn_test::CountingUuid();
  const std::string stored = "00112233-4455-6677-8899-AABBCCDDEEFF";
  const std::string swapped = "33221100-5544-7766-8899-AABBCCDDEEFF";
  EXPECT_EQ(FormatUuid(uuid.data(), SwapsUuidFields(8192, false)), swapped);  // 2.4
  EXPECT_EQ(FormatUuid(uuid.data(), SwapsUuidFields(518, false)), swapped);   // the threshold
  EXPECT_EQ(FormatUuid(uuid.data(), SwapsUuidFields(517, false)), stored);
  EXPECT_EQ(FormatUuid(uuid.data(), SwapsUuidFields(512, false)), stored);  // 2.0
  EXPECT_EQ(FormatUuid(uuid.data(), SwapsUuidFields(0, false)), stored);    // physical memory
  EXPECT_EQ(FormatUuid(uuid.data(), SwapsUuidFields(768, true)), stored);   // Xen or Microsoft
  EXPECT_EQ(FormatUuid(uuid.data(), SwapsUuidFields(32768, true)), stored);
  EXPECT_EQ(FormatUuid(Bytes(16, 0).data(), true), "00000000-0000-0000-0000-000000000000");
  EXPECT_EQ(FormatUuid(Bytes(16, 0xFF).data(), false), "FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF");
}

namespace {

// A "_SM3_" entry point of 24 bytes: version 3.`minor`, revision 1, a table
// of at most `length` bytes at `address`; its checksum right unless
// `validSum` is false.
Bytes EntryPoint3(unsigned char minor, std::uint32_t length, std::uint64_t address, bool validSum = true) {
  Bytes entry = {'_', 'S', 'M', '3', '_', 0, 24, 3, minor, 1, 1, 0};
  for (int i = 0; i < 4; ++i) entry.push_back(static_cast<unsigned char>(length >> (8 * i)));
  for (int i = 0; i < 8; ++i) entry.push_back(static_cast<unsigned char>(address >> (8 * i)));
  unsigned char sum = 0;
  for (unsigned char byte : entry) sum = static_cast<unsigned char>(sum + byte);
  entry[5] = static_cast<unsigned char>(0 - sum + (validSum ? 0 : 1));
  return entry;
}

}  // namespace

// The entry point as a file of the kernel holds it: both forms, each
// accepted only when whole and summing to zero.
TEST(SmbiosEntryPoint, BothFormsAreReadOnlyWhenWholeAndSummingToZero) {
  Bytes two(31, 0);
  quarn_test::PutEntryPoint(two, 0, 0x000E1000, 0x1234);
  EntryPoint entry;
  ASSERT_TRUE(ReadEntryPoint(two.data(), two.size(), entry));
  EXPECT_FALSE(entry.is64Bit);
  EXPECT_EQ(entry.major, 2);
  EXPECT_EQ(entry.minor, 4);
  EXPECT_EQ(entry.tableLength, 0x1234u);
  EXPECT_EQ(entry.tableAddress, 0xE1000u);
  EXPECT_FALSE(ReadEntryPoint(two.data(), 27, entry));  // the fields end past the bytes
  two[5] = 32;                                          // a length past the bytes
  EXPECT_FALSE(ReadEntryPoint(two.data(), two.size(), entry));
  quarn_test::PutEntryPoint(two, 0, 0xE1000, 0x1234, false);
  EXPECT_FALSE(ReadEntryPoint(two.data(), two.size(), entry));

  const Bytes three = EntryPoint3(2, 0x5000, 0x12345678ABull);
  ASSERT_TRUE(ReadEntryPoint(three.data(), three.size(), entry));
  EXPECT_TRUE(entry.is64Bit);
  EXPECT_EQ(entry.major, 3);
  EXPECT_EQ(entry.minor, 2);
  EXPECT_EQ(entry.revision, 1);
  EXPECT_EQ(entry.tableLength, 0x5000u);
  EXPECT_EQ(entry.tableAddress, 0x12345678ABull);
  EXPECT_FALSE(ReadEntryPoint(three.data(), 23, entry));
  const Bytes wrong = EntryPoint3(2, 0x5000, 0x1000, false);
  EXPECT_FALSE(ReadEntryPoint(wrong.data(), wrong.size(), entry));
  EXPECT_FALSE(ReadEntryPoint(reinterpret_cast<const unsigned char*>("_SM4_ and more bytes than 24"), 28, entry));
  Bytes shortThree = EntryPoint3(2, 0x5000, 0x1000);
  shortThree[6] = 0;  // a length of nothing: its sum is 0, and vouches for nothing
  shortThree[5] = 0;
  EXPECT_FALSE(ReadEntryPoint(shortThree.data(), shortThree.size(), entry));

  // The legacy form alone: 15 bytes, a BCD version, its table's length and
  // address.
  Bytes legacy = {'_', 'D', 'M', 'I', '_', 0, 0x34, 0x12, 0x00, 0x10, 0x0E, 0x00, 5, 0, 0x20};
  legacy[5] = static_cast<unsigned char>(0 - quarn::smbios::ByteSum(legacy.data(), 15));
  ASSERT_TRUE(ReadEntryPoint(legacy.data(), legacy.size(), entry));
  EXPECT_EQ(entry.major, 2);
  EXPECT_EQ(entry.minor, 0);
  EXPECT_EQ(entry.tableLength, 0x1234u);
  EXPECT_EQ(entry.tableAddress, 0xE1000u);
  EXPECT_FALSE(ReadEntryPoint(legacy.data(), 14, entry));
  legacy[14] = 0x21;  // its sum no longer 0
  EXPECT_FALSE(ReadEntryPoint(legacy.data(), legacy.size(), entry));

  // In a window of memory only the 32-bit form is looked for.
  Bytes window(0x100, 0);
  std::copy(three.begin(), three.end(), window.begin() + 0x20);
  EXPECT_FALSE(FindEntryPoint(window.data(), window.size(), entry));
}

TEST(SmbiosWay, TheFirmwareTableServiceIsForNt52AndLater) {
  const struct {
    unsigned long platformId, major, minor;
    bool service;
  } rows[] = {
      {2, 4, 0, false}, {2, 5, 0, false},  {2, 5, 1, false},   // NT 4, 2000, XP
      {2, 5, 2, true},  {2, 6, 0, true},   {2, 6, 1, true},    // Server 2003 and XP x64, Vista, 7
      {2, 6, 3, true},  {2, 10, 0, true},                      // 8.1, 10 and 11
      {1, 6, 1, false}, {0, 10, 0, false}, {3, 10, 0, false},  // not the NT family
  };
  for (const auto& row : rows)
    EXPECT_EQ(IsNt52OrLater(row.platformId, row.major, row.minor), row.service)
        << row.platformId << " " << row.major << "." << row.minor;
}

TEST(SmbiosUuid, TheDmtfFormSwapsFromTwoSix) {
  const struct {
    unsigned char major, minor;
    bool swapped;
  } rows[] = {{2, 0, false},  {2, 1, false}, {2, 5, false}, {2, 6, true},  {2, 7, true},
              {2, 31, false}, {3, 0, true},  {3, 5, true},  {1, 9, false}, {4, 0, true}};
  for (const auto& row : rows)
    EXPECT_EQ(DmtfSwapsUuidFields(row.major, row.minor), row.swapped) << int(row.major) << "." << int(row.minor);
}

TEST(SmbiosUuid, PlaceholdersAreToldApart) {
  Bytes uuid(16, 0x00);
  EXPECT_NE(UuidPlaceholder(uuid.data()), nullptr);
  uuid.assign(16, 0xFF);
  EXPECT_NE(UuidPlaceholder(uuid.data()), nullptr);
  uuid = {0x03, 0x00, 0x02, 0x00, 0x04, 0x00, 0x05, 0x00, 0x00, 0x06, 0x00, 0x07, 0x00, 0x08, 0x00, 0x09};
  EXPECT_NE(UuidPlaceholder(uuid.data()), nullptr);
  uuid = {0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00, 0x05, 0x00, 0x06, 0x00, 0x07, 0x00, 0x08, 0x00, 0x09};
  EXPECT_NE(UuidPlaceholder(uuid.data()), nullptr);
  EXPECT_EQ(UuidPlaceholder(quarn_test::CountingUuid().data()), nullptr);
  uuid.assign(16, 0x00);
  uuid[15] = 1;  // one byte set: an identity, however poor
  EXPECT_EQ(UuidPlaceholder(uuid.data()), nullptr);
}
