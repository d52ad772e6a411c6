#include "support/FakePlatform.h"

#include "support/TestThread.h"

namespace quarn_test {

// The four seams, each answering from the fake.
struct FakePlatform::Seams {
  struct Util : kqt::sys::Platform {
    explicit Util(FakePlatform& f) : fake(f) {}
    std::string ExecutablePath() override { return fake.ExecutablePath(); }
    bool IsOperatingSystem64Bit() override { return fake.IsOperatingSystem64Bit(); }
    void SleepMilliseconds(std::uint64_t ms) override { fake.SleepMilliseconds(ms); }
    std::vector<kqt::sys::ProcessInfo> ListProcesses() override { return fake.ListProcesses(); }
    int Random() override { return fake.Random(); }
    FakePlatform& fake;
  };
  struct Net : kqt::sys::NetPlatform {
    explicit Net(FakePlatform& f) : fake(f) {}
    std::vector<std::string> LookupIPv4(const std::string& name) override { return fake.LookupIPv4(name); }
    FakePlatform& fake;
  };
  struct Host : quarn::sys::HostPlatform {
    explicit Host(FakePlatform& f) : fake(f) {}
    int StartSockets() override { return fake.StartSockets(); }
    int CleanupSockets() override { return fake.CleanupSockets(); }
    bool HostName(std::string& name) override { return fake.HostName(name); }
    std::vector<std::string> LocalIPv4Addresses() override { return fake.LocalIPv4Addresses(); }
    quarn::sys::WindowsVersionInfo WindowsVersion() override { return fake.WindowsVersion(); }
    quarn::sys::RealWindowsVersion TrueWindowsVersion() override { return fake.TrueWindowsVersion(); }
    FakePlatform& fake;
  };
  struct Firmware : quarn::sys::FirmwarePlatform {
    explicit Firmware(FakePlatform& f) : fake(f) {}
    bool HasFirmwareTableService() override { return fake.HasFirmwareTableService(); }
    quarn::sys::FirmwareBlock FirmwareSmbiosBlock() override { return fake.FirmwareSmbiosBlock(); }
    bool ReadPhysicalMemory(std::uint32_t address, std::uint32_t length, unsigned char* buffer,
                            std::string& diagnostics) override {
      return fake.ReadPhysicalMemory(address, length, buffer, diagnostics);
    }
    quarn::sys::CpuidRegisters Cpuid(std::uint32_t leaf) override { return fake.Cpuid(leaf); }
    FakePlatform& fake;
  };
  explicit Seams(FakePlatform& fake) : util(fake), net(fake), host(fake), firmware(fake) {}
  Util util;
  Net net;
  Host host;
  Firmware firmware;
};

FakePlatform::FakePlatform() : m_seams(new Seams(*this)) {}

FakePlatform::~FakePlatform() = default;

std::string FakePlatform::ExecutablePath() {
  return executablePath.empty() && realSystem ? kqt::sys::NativePlatform().ExecutablePath() : executablePath;
}

bool FakePlatform::IsOperatingSystem64Bit() {
  return realSystem ? kqt::sys::NativePlatform().IsOperatingSystem64Bit() : operatingSystem64Bit != 0;
}

void FakePlatform::SleepMilliseconds(std::uint64_t milliseconds) {
  sleptMs += milliseconds;
  if (!skipSleep) SleepMs(static_cast<unsigned>(milliseconds));
}

std::vector<kqt::sys::ProcessInfo> FakePlatform::ListProcesses() {
  if (processes) return processes();
  return realSystem ? kqt::sys::NativePlatform().ListProcesses() : std::vector<kqt::sys::ProcessInfo>();
}

int FakePlatform::Random() {
  if (random) return random();
  return realSystem ? kqt::sys::NativePlatform().Random() : 4;
}

std::vector<std::string> FakePlatform::LookupIPv4(const std::string& name) {
  if (lookup) return lookup(name);
  return realSystem ? kqt::sys::NativeNetPlatform().LookupIPv4(name) : std::vector<std::string>();
}

int FakePlatform::StartSockets() {
  ++socketStarts;
  return realSystem ? quarn::sys::NativeHostPlatform().StartSockets() : 0;
}

int FakePlatform::CleanupSockets() {
  ++socketCleanups;
  return realSystem ? quarn::sys::NativeHostPlatform().CleanupSockets() : 0;
}

bool FakePlatform::HostName(std::string& name) {
  ++hostNameQueries;
  if (hostName) return hostName(name);
  if (realSystem) return quarn::sys::NativeHostPlatform().HostName(name);
  name = "quarn-test-host";
  return true;
}

std::vector<std::string> FakePlatform::LocalIPv4Addresses() {
  ++localAddressQueries;
  if (localAddresses) return localAddresses();
  return realSystem ? quarn::sys::NativeHostPlatform().LocalIPv4Addresses() : std::vector<std::string>{"127.0.0.1"};
}

quarn::sys::WindowsVersionInfo FakePlatform::WindowsVersion() {
  if (windowsVersion) return windowsVersion();
  return realSystem ? quarn::sys::NativeHostPlatform().WindowsVersion() : quarn::sys::WindowsVersionInfo();
}

quarn::sys::RealWindowsVersion FakePlatform::TrueWindowsVersion() {
  if (trueWindowsVersion) return trueWindowsVersion();
  return realSystem ? quarn::sys::NativeHostPlatform().TrueWindowsVersion() : quarn::sys::RealWindowsVersion();
}

bool FakePlatform::HasFirmwareTableService() {
  return realSystem ? quarn::sys::NativeFirmwarePlatform().HasFirmwareTableService() : firmwareTableService != 0;
}

quarn::sys::FirmwareBlock FakePlatform::FirmwareSmbiosBlock() {
  ++firmwareBlockQueries;
  if (firmwareBlock) return firmwareBlock();
  if (realSystem) return quarn::sys::NativeFirmwarePlatform().FirmwareSmbiosBlock();
  quarn::sys::FirmwareBlock none;
  none.status = quarn::sys::FirmwareBlock::kFailed;
  none.diagnostic = "no SMBIOS table on this test machine\n";
  return none;
}

bool FakePlatform::ReadPhysicalMemory(std::uint32_t address, std::uint32_t length, unsigned char* buffer,
                                      std::string& diagnostics) {
  if (physicalMemory) return physicalMemory(address, length, buffer, diagnostics);
  return realSystem && quarn::sys::NativeFirmwarePlatform().ReadPhysicalMemory(address, length, buffer, diagnostics);
}

quarn::sys::CpuidRegisters FakePlatform::Cpuid(std::uint32_t leaf) {
  if (cpuid) return cpuid(leaf);
  return realSystem ? quarn::sys::NativeFirmwarePlatform().Cpuid(leaf) : quarn::sys::CpuidRegisters();
}

ScopedFakePlatform::ScopedFakePlatform(FakePlatform& fake)
    : m_util(kqt::sys::SetPlatformForTesting(&fake.m_seams->util)),
      m_net(kqt::sys::SetNetPlatformForTesting(&fake.m_seams->net)),
      m_host(quarn::sys::SetHostPlatformForTesting(&fake.m_seams->host)),
      m_firmware(quarn::sys::SetFirmwarePlatformForTesting(&fake.m_seams->firmware)) {}

ScopedFakePlatform::~ScopedFakePlatform() {
  quarn::sys::SetFirmwarePlatformForTesting(m_firmware);
  quarn::sys::SetHostPlatformForTesting(m_host);
  kqt::sys::SetNetPlatformForTesting(m_net);
  kqt::sys::SetPlatformForTesting(m_util);
}

}  // namespace quarn_test
