// GetBiosUuid and GetBiosHash end to end through the real platform: the
// firmware-table service where the system has one (Windows from 5.2, Wine,
// Linux publishing /sys/firmware/dmi/tables), else physical memory.
#include <gtest/gtest.h>

#include <regex>

#include "config/QuarnConfig.h"
#include "hwinfo/SmbiosParsing.h"
#include "support/TestSupport.h"
#include "util/AlgorithmUtil.h"

TEST(RealSystemFirmware, UuidAndChecksumEndToEnd) {
  quarn_test::TempInstallation installation;
  installation.platform.realSystem = true;  // only the program's path is substituted
  quarn_test::CapturedLog log;
  CQuarnConfig* config = CSingleton<CQuarnConfig>::NewInstance();
  ::testing::internal::CaptureStdout();
  const std::string uuid = config->GetBiosUuid();
  const unsigned hash = config->GetBiosHash();
  const std::string printed = ::testing::internal::GetCapturedStdout();
  CSingleton<CQuarnConfig>::RemoveInstance();

  quarn::sys::FirmwarePlatform& native = quarn::sys::NativeFirmwarePlatform();
  if (native.HasFirmwareTableService()) {
    const quarn::sys::FirmwareBlock block = native.FirmwareSmbiosBlock();
    quarn::smbios::FirmwareBlockView view;
    ASSERT_EQ(block.status, quarn::sys::FirmwareBlock::kOk) << block.diagnostic;
    ASSERT_TRUE(quarn::smbios::ReadFirmwareBlock(block.bytes.data(), block.bytes.size(), view));
    std::vector<unsigned char> padded(view.table, view.table + view.tableLength);
    padded.resize(std::max<size_t>(0x10000, block.bytes.size()), 0);
    EXPECT_EQ(hash, kqt::CAlgorithmUtil::GetCRC(padded.data(), static_cast<unsigned>(padded.size())));
    EXPECT_TRUE(std::regex_match(uuid, std::regex("[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}")))
        << uuid;
    EXPECT_EQ(printed, "");
  } else {
    // No table to be had (as in many containers): said plainly, nothing else.
    EXPECT_EQ(printed.rfind("Could not open \\device\\physicalmemory: ", 0), 0u) << printed;
    EXPECT_EQ(uuid, "");
    EXPECT_EQ(hash, 0xD7978EEBu);  // 65,536 zero bytes
    EXPECT_NE(log.Text().find("get uuid failed!"), std::string::npos) << log.Text();
  }
}
