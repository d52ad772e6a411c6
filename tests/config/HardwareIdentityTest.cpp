// The BIOS UUID, the table checksum and the caller's uuid, over a
// substituted firmware.
#include <new>
#include <stdexcept>

#include "hwinfo/HwInfo.h"
#include "support/SmbiosTables.h"
#include "support/TestThread.h"
#include "tests/config/ConfigFixture.h"
#include "util/AlgorithmUtil.h"

using quarn_test::Bytes;

class Hardware : public ConfigFixture {
 protected:
  void SetUp() override {
    quarn_test::UseHypervisor(installation.platform, "TestHvTestHv");
    UseTable(quarn_test::Concat({quarn_test::SystemInformation(quarn_test::CountingUuid()), quarn_test::EndOfTable()}));
  }
  void UseTable(const Bytes& table, unsigned char major = 2, unsigned char minor = 8) {
    quarn_test::UseFirmwareTable(installation.platform, major, minor, table);
  }
  void UseNoTable() {
    installation.platform.firmwareBlock = [] { return quarn::sys::FirmwareBlock(); };  // kFailed, no text
  }
  int Fetches() const { return installation.platform.firmwareBlockQueries.load(); }
  static unsigned PaddedCrc(Bytes table, size_t size = 0x10000) {
    table.resize(size, 0);
    return kqt::CAlgorithmUtil::GetCRC(table.data(), static_cast<unsigned>(table.size()));
  }
};

TEST_F(Hardware, BiosUuidIsLowerCaseAndReadOnce) {
  CQuarnConfig& config = Config();
  EXPECT_EQ(config.GetBiosUuid(), "33221100-5544-7766-8899-aabbccddeeff");
  const int fetches = Fetches();
  UseTable(quarn_test::Concat({quarn_test::SystemInformation(Bytes(16, 0x11)), quarn_test::EndOfTable()}));
  EXPECT_EQ(config.GetBiosUuid(), "33221100-5544-7766-8899-aabbccddeeff");
  EXPECT_EQ(Fetches(), fetches);
  EXPECT_TRUE(log.Lines().size() <= 1) << log.Text();  // only the missing settings file
}

TEST_F(Hardware, AFailureIsLoggedAndTriedAgain) {
  UseNoTable();
  CQuarnConfig& config = Config();
  EXPECT_EQ(config.GetBiosUuid(), "");
  EXPECT_NE(log.Text().find("[2] get uuid failed!"), std::string::npos) << log.Text();
  UseTable(quarn_test::Concat({quarn_test::SystemInformation(Bytes(16, 0)), quarn_test::EndOfTable()}));
  EXPECT_EQ(config.GetBiosUuid(), "00000000-0000-0000-0000-000000000000");  // found, and kept
  UseTable(quarn_test::Concat({quarn_test::SystemInformation(Bytes(16, 0xFF)), quarn_test::EndOfTable()}));
  EXPECT_EQ(config.GetBiosUuid(), "00000000-0000-0000-0000-000000000000");
}

TEST_F(Hardware, AllFfIsAUuidLikeAnyOther) {
  UseTable(quarn_test::Concat({quarn_test::SystemInformation(Bytes(16, 0xFF)), quarn_test::EndOfTable()}));
  EXPECT_EQ(Config().GetBiosUuid(), "ffffffff-ffff-ffff-ffff-ffffffffffff");
}

TEST_F(Hardware, MemoryExhaustionWhileReadingIsCaughtAndLogged) {
  CQuarnConfig& config = Config();
  installation.platform.firmwareBlock = []() -> quarn::sys::FirmwareBlock { throw std::bad_alloc(); };
  EXPECT_EQ(config.GetBiosUuid(), "");
  EXPECT_EQ(config.GetBiosHash(), 0u);
  EXPECT_NE(log.Text().find("[2] catch GetMachineUuid error"), std::string::npos) << log.Text();
  EXPECT_NE(log.Text().find("[2] catch GetBiosHash error"), std::string::npos) << log.Text();
}

TEST_F(Hardware, AnyOtherFailureWhileReadingStaysInsideTheAcquisition) {
  installation.platform.firmwareBlock = []() -> quarn::sys::FirmwareBlock { throw std::runtime_error("firmware"); };
  Bytes buffer(64, 0xAB);
  int size = static_cast<int>(buffer.size());
  EXPECT_NO_THROW(CHwInfo::GetSMBiosData(buffer.data(), &size));
  EXPECT_EQ(buffer, Bytes(64, 0xAB)) << "nothing copied";
  // As any table that could not be had: no UUID, the checksum of no table.
  CQuarnConfig& config = Config();
  EXPECT_EQ(config.GetBiosUuid(), "");
  EXPECT_EQ(config.GetBiosHash(), PaddedCrc(Bytes()));
  EXPECT_NE(log.Text().find("[2] get uuid failed!"), std::string::npos) << log.Text();
  EXPECT_EQ(log.Text().find("catch GetMachineUuid error"), std::string::npos) << log.Text();
}

TEST_F(Hardware, AUuidCutShortByTheEndOfTheTableIsNoUuid) {
  // The System Information structure claims its 27-byte formatted area, but
  // the table the firmware delivers ends 4 bytes into the UUID: the rest
  // would come from the buffer's zero padding.
  const Bytes whole = quarn_test::SystemInformation(quarn_test::CountingUuid());
  const Bytes cut(whole.begin(), whole.begin() + 12);
  UseTable(cut);
  CQuarnConfig& config = Config();
  EXPECT_EQ(config.GetBiosUuid(), "");
  EXPECT_NE(log.Text().find("[2] get uuid failed!"), std::string::npos) << log.Text();
  const int fetches = Fetches();
  EXPECT_EQ(config.GetBiosUuid(), "");
  EXPECT_GT(Fetches(), fetches) << "not kept: the next call reads the table again";
  EXPECT_EQ(config.GetBiosHash(), PaddedCrc(cut)) << "the checksum still covers the padded buffer";
  // Delivered up to its last UUID byte, the same structure gives its UUID.
  UseTable(Bytes(whole.begin(), whole.begin() + 24));
  EXPECT_EQ(config.GetBiosUuid(), "33221100-5544-7766-8899-aabbccddeeff");
}

TEST_F(Hardware, HashIsTheCrcOfTheTablePaddedTo64KiBReadEachTime) {
  const Bytes table =
      quarn_test::Concat({quarn_test::SystemInformation(quarn_test::CountingUuid()), quarn_test::EndOfTable()});
  CQuarnConfig& config = Config();
  const unsigned hash = config.GetBiosHash();
  EXPECT_EQ(hash, PaddedCrc(table));
  EXPECT_EQ(config.GetBiosHash(), hash);
  Bytes changed = table;
  changed[10] ^= 1;
  UseTable(changed);
  EXPECT_NE(config.GetBiosHash(), hash);
  UseNoTable();
  EXPECT_EQ(config.GetBiosHash(), 0xD7978EEBu);  // 65,536 zero bytes
}

TEST_F(Hardware, ATableLargerThanTheBufferIsReadWhole) {
  // 70,000 bytes of type-0 structures, the System Information structure last.
  Bytes table;
  while (table.size() < 70000) {
    const Bytes filler = quarn_test::Structure(0, Bytes(60, 0x41), {"filler"});
    table.insert(table.end(), filler.begin(), filler.end());
  }
  const Bytes system = quarn_test::SystemInformation(quarn_test::CountingUuid());
  table.insert(table.end(), system.begin(), system.end());
  UseTable(table);
  CQuarnConfig& config = Config();
  EXPECT_EQ(config.GetBiosUuid(), "33221100-5544-7766-8899-aabbccddeeff");
  EXPECT_EQ(config.GetBiosHash(), PaddedCrc(table, table.size() + 8));  // the buffer the firmware asked for
}

TEST_F(Hardware, ConcurrentFirstCallsReadTheTableOnce) {
  CQuarnConfig& config = Config();
  const int fetches = Fetches();
  std::vector<std::string> seen(8);
  std::vector<quarn_test::Thread> threads;
  for (size_t i = 0; i < seen.size(); ++i) threads.emplace_back([&, i] { seen[i] = config.GetBiosUuid(); });
  for (quarn_test::Thread& thread : threads) thread.join();
  for (const std::string& uuid : seen) EXPECT_EQ(uuid, "33221100-5544-7766-8899-aabbccddeeff");
  EXPECT_EQ(Fetches() - fetches, 1);
}

TEST_F(Hardware, CallersUuidAndVmId) {
  CQuarnConfig& config = Config();
  EXPECT_EQ(config.GetUuid(), "");
  config.SetUuid("Caller-UUID-ABC");
  EXPECT_EQ(config.GetUuid(), "Caller-UUID-ABC");  // no case change
  EXPECT_EQ(config.GetVMid(), "");
}
