// CHwInfo::GetSMBiosData over a substituted platform: both ways, capacity
// handling, and the version that decides the UUID's byte order.
#include <gtest/gtest.h>

#include <cstring>

#include "hwinfo/HwInfo.h"
#include "support/SmbiosTables.h"
#include "support/TestSupport.h"

using quarn_test::Bytes;

namespace {

const Bytes kTable =
    quarn_test::Concat({quarn_test::Structure(0, {1, 2}, {"BIOS"}),
                        quarn_test::SystemInformation(quarn_test::CountingUuid()), quarn_test::EndOfTable()});

class Acquisition : public ::testing::Test {
 protected:
  void SetUp() override { quarn_test::UseHypervisor(platform, "TestHvTestHv"); }
  void UseFirmwareBlock(unsigned char major, unsigned char minor, const Bytes& table = kTable) {
    quarn_test::UseFirmwareTable(platform, major, minor, table);
  }
  // The UUID of the table GetSMBiosData delivers into a 64 KiB buffer.
  std::string Uuid() {
    Bytes buffer(0x10000, 0);
    int size = static_cast<int>(buffer.size());
    CHwInfo::GetSMBiosData(buffer.data(), &size);
    return CHwInfo(buffer.data(), size).GetMachineid();
  }

  quarn_test::FakePlatform platform;
  quarn_test::ScopedFakePlatform use{platform};
};

}  // namespace

TEST_F(Acquisition, FirmwareWayReportsTheBlockSizeToASmallBuffer) {
  UseFirmwareBlock(2, 4);
  int size = 0;
  CHwInfo::GetSMBiosData(nullptr, &size);
  EXPECT_EQ(size, static_cast<int>(kTable.size() + 8));

  Bytes exact(kTable.size() + 8, 0xEE);
  size = static_cast<int>(exact.size() - 1);
  CHwInfo::GetSMBiosData(exact.data(), &size);
  EXPECT_EQ(size, static_cast<int>(exact.size()));
  EXPECT_EQ(exact, Bytes(exact.size(), 0xEE));  // nothing copied

  CHwInfo::GetSMBiosData(exact.data(), &size);
  EXPECT_EQ(size, static_cast<int>(exact.size()));  // unchanged
  EXPECT_TRUE(std::equal(kTable.begin(), kTable.end(), exact.begin()));
  EXPECT_EQ(exact[kTable.size()], 0xEE);  // what follows the table is left alone
}

TEST_F(Acquisition, TheBlockVersionDecidesTheByteOrder) {
  UseFirmwareBlock(2, 4);
  EXPECT_EQ(Uuid(), "33221100-5544-7766-8899-AABBCCDDEEFF");
  UseFirmwareBlock(2, 0);
  EXPECT_EQ(Uuid(), "00112233-4455-6677-8899-AABBCCDDEEFF");
  UseFirmwareBlock(3, 0);
  EXPECT_EQ(Uuid(), "33221100-5544-7766-8899-AABBCCDDEEFF");
  quarn_test::UseHypervisor(platform, "Microsoft Hv");
  EXPECT_EQ(Uuid(), "00112233-4455-6677-8899-AABBCCDDEEFF");
  quarn_test::UseHypervisor(platform, "xenvmmxenvmm");
  EXPECT_EQ(Uuid(), "33221100-5544-7766-8899-AABBCCDDEEFF");
}

TEST_F(Acquisition, AFailedServiceSaysSoAndCopiesNothing) {
  platform.firmwareTableService = 1;
  platform.firmwareBlock = [] {
    quarn::sys::FirmwareBlock block;
    block.diagnostic = "failed to get address of GetSystemFirmwareTable";
    return block;
  };
  Bytes buffer(0x10000, 0);
  int size = static_cast<int>(buffer.size());
  ::testing::internal::CaptureStdout();
  CHwInfo::GetSMBiosData(buffer.data(), &size);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "failed to get address of GetSystemFirmwareTable");
  EXPECT_EQ(buffer, Bytes(0x10000, 0));
}

namespace {
// Physical memory holding `window` at 0xF0000 and `far` at 0xE0000; reads
// are recorded.
struct FakeMemory {
  Bytes window = Bytes(0x10000, 0);
  Bytes far = Bytes(0x10000, 0);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> reads;
  bool operator()(std::uint32_t address, std::uint32_t length, unsigned char* buffer, std::string&) {
    reads.emplace_back(address, length);
    const Bytes& source = address >= 0xF0000 ? window : far;
    std::memcpy(buffer, source.data() + (address & 0xFFFF), length);
    return true;
  }
};

}  // namespace

TEST_F(Acquisition, MemoryWayNeedsSixtyFourKilobytes) {
  platform.firmwareTableService = 0;
  FakeMemory memory;
  platform.physicalMemory = std::ref(memory);
  Bytes buffer(0xFFFF, 0);
  int size = 0xFFFF;
  CHwInfo::GetSMBiosData(buffer.data(), &size);
  EXPECT_EQ(size, 0x10000);
  EXPECT_TRUE(memory.reads.empty());
}

TEST_F(Acquisition, MemoryWayCopiesATableInsideTheWindowWithoutASecondRead) {
  platform.firmwareTableService = 0;
  FakeMemory memory;
  quarn_test::PutEntryPoint(memory.window, 0x100, 0xF0450, static_cast<std::uint16_t>(kTable.size()));
  std::copy(kTable.begin(), kTable.end(), memory.window.begin() + 0x450);
  platform.physicalMemory = std::ref(memory);
  EXPECT_EQ(Uuid(), "00112233-4455-6677-8899-AABBCCDDEEFF");  // version untouched: 0, stored order
  ASSERT_EQ(memory.reads.size(), 1u);
  EXPECT_EQ(memory.reads[0], std::make_pair(0xF0000u, 0x10000u));
}

TEST_F(Acquisition, MemoryWayReadsATableOutsideTheWindowByItself) {
  platform.firmwareTableService = 0;
  FakeMemory memory;
  quarn_test::PutEntryPoint(memory.window, 0x2A0, 0xE0000, static_cast<std::uint16_t>(kTable.size()));
  std::copy(kTable.begin(), kTable.end(), memory.far.begin());
  platform.physicalMemory = std::ref(memory);
  EXPECT_EQ(Uuid(), "00112233-4455-6677-8899-AABBCCDDEEFF");
  ASSERT_EQ(memory.reads.size(), 2u);
  EXPECT_EQ(memory.reads[1], std::make_pair(0xE0000u, static_cast<std::uint32_t>(kTable.size())));
}

TEST_F(Acquisition, MemoryWayWithoutAnEntryPointLeavesTheBufferAndPrintsTheSystemsReason) {
  platform.firmwareTableService = 0;
  platform.physicalMemory = [](std::uint32_t, std::uint32_t, unsigned char*, std::string& diagnostics) {
    diagnostics += "Could not open \\device\\physicalmemory: Access is denied.\n";
    return false;
  };
  Bytes buffer(0x10000, 0x77);
  int size = 0x10000;
  ::testing::internal::CaptureStdout();
  CHwInfo::GetSMBiosData(buffer.data(), &size);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Could not open \\device\\physicalmemory: Access is denied.\n");
  EXPECT_EQ(buffer, Bytes(0x10000, 0x77));
}

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>

#include <atomic>

#include "support/TestThread.h"

// The memory device as the library opens it: a FIFO in its place (which a
// plain open() waits on for ever, under the lock of every BIOS UUID caller)
// and a directory are refused at once with the usual message; a regular
// file holding a picture of memory is read.
TEST(MemoryDevice, OnlyADeviceOrAFileIsReadAndNothingWaits) {
  quarn_test::TempDir dir;
  const std::string fifo = dir.path() + "/mem";
  ASSERT_TRUE(quarn_test::MakeFifo(fifo));
  std::atomic<bool> done{false};
  bool copied = true;
  std::string diagnostics;
  unsigned char byte = 0x55;
  quarn_test::Thread reader([&] {
    copied = quarn::sys::ReadMemoryDevice(fifo, 0xF0000, 1, &byte, diagnostics);
    done = true;
  });
  for (int waited = 0; !done && waited < 10000; waited += 10) quarn_test::SleepMs(10);
  if (!done) {
    // Let the reader go (a writer releases the open) before failing.
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    reader.join();
    if (writer >= 0) ::close(writer);
    FAIL() << "the open waited for a writer";
  }
  reader.join();
  EXPECT_FALSE(copied);
  EXPECT_EQ(diagnostics, "Could not open \\device\\physicalmemory: " + fifo + " is not a memory device\n");
  EXPECT_EQ(byte, 0x55);

  diagnostics.clear();
  EXPECT_FALSE(quarn::sys::ReadMemoryDevice(dir.path(), 0, 1, &byte, diagnostics));
  EXPECT_NE(diagnostics.find("is not a memory device"), std::string::npos);

  const std::string picture = dir.path() + "/picture";
  quarn_test::WriteFile(picture, std::string("\x01\x02\x03\x04", 4));
  unsigned char bytes[2] = {0, 0};
  EXPECT_TRUE(quarn::sys::ReadMemoryDevice(picture, 1, 2, bytes, diagnostics));
  EXPECT_EQ(bytes[0], 0x02);
  EXPECT_EQ(bytes[1], 0x03);
}
#endif
