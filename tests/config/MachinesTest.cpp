// The named machines end to end: what the object reports on each.
#include "tests/config/ConfigFixture.h"

using quarn_test::Machine;
namespace machines = quarn_test::machines;

namespace {
struct Expected {
  const Machine& machine;
  const char* sysInfo;
  const char* tag;
};
}  // namespace

using Machines = ConfigFixture;

TEST_F(Machines, EachReportsItsSystemAndItsBiosUuid) {
  const Expected cases[] = {
      {machines::Windows7Sp1X64Ultimate(), "Microsoft Windows 7 Ultimate Edition Service Pack 1 (build 7601), 64-bit",
       "_X64"},
      {machines::WindowsXpSp3(), "Microsoft Windows XP Professional Service Pack 3 (build 2600)", "_X86"},
      {machines::Server2003R2Enterprise(),
       "Microsoft Windows Server 2003 R2, Enterprise Edition Service Pack 2 (build 3790)", "_X86"},
      {machines::XenGuest(), "Microsoft Windows 7 Ultimate Edition Service Pack 1 (build 7601), 64-bit", "_X64"},
      {machines::NoTable(), "Microsoft Windows 7 Ultimate Edition Service Pack 1 (build 7601), 64-bit", "_X64"},
  };
  for (const Expected& c : cases) {
    quarn_test::Use(c.machine, installation.platform);
    CQuarnConfig& config = Config();
    ::testing::internal::CaptureStdout();  // the memory way and a missing table say so there
    const std::string uuid = config.GetBiosUuid();
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(uuid, c.machine.biosUuid) << c.machine.name;
    EXPECT_EQ(config.GetSysInfo(), c.sysInfo) << c.machine.name;
    EXPECT_EQ(config.GetPlatInfo(), std::string(c.sysInfo) + c.tag) << c.machine.name;
    CSingleton<CQuarnConfig>::RemoveInstance();
  }
}

TEST_F(Machines, AHyperVGuestWithSmbios30KeepsTheStoredOrder) {
  // 3.0 gives the version number 768, above the threshold, yet a Microsoft
  // hypervisor keeps the fields as stored.
  quarn_test::Use(machines::HyperVGuestSmbios30(), installation.platform);
  EXPECT_EQ(Config().GetBiosUuid(), "00112233-4455-6677-8899-aabbccddeeff");
  installation.platform.cpuid = nullptr;  // the same table on hardware
  CSingleton<CQuarnConfig>::RemoveInstance();
  EXPECT_EQ(Config().GetBiosUuid(), "33221100-5544-7766-8899-aabbccddeeff");
}
