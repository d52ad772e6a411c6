// The one fake of the system, shared by the tests, the benchmarks and the
// fuzz targets.
#ifndef QUARN_TESTS_SUPPORT_FAKEPLATFORM_H
#define QUARN_TESTS_SUPPORT_FAKEPLATFORM_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/platform/HostPlatform.h"
#include "hwinfo/platform/FirmwarePlatform.h"
#include "util/platform/NetPlatform.h"
#include "util/platform/Platform.h"

namespace quarn_test {

// A machine for the tests: it stands in for every platform seam of the
// three libraries (the utility's, the network library's, and the
// configuration library's host and firmware seams) while a
// ScopedFakePlatform puts it in force. Every answer is a fixed value unless
// the test sets it, so no test reaches the real system by accident: no
// executable path, a 32-bit system, no processes, the host "quarn-test-host"
// with the address 127.0.0.1 only, no Windows, a firmware-table service that
// gives no table, no physical memory, no CPUID leaves, no name resolves,
// random numbers 4. A test may also derive and override a query.
class FakePlatform {
 public:
  FakePlatform();
  virtual ~FakePlatform();
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  // True: every answer a test did not set comes from the real system. For
  // the tests that mean to look at it, which say so in their names
  // (RealSystem...).
  bool realSystem = false;

  std::string executablePath;
  std::function<std::vector<kqt::sys::ProcessInfo>()> processes;
  std::function<quarn::sys::WindowsVersionInfo()> windowsVersion;
  std::function<quarn::sys::RealWindowsVersion()> trueWindowsVersion;
  std::function<bool(std::string&)> hostName;
  std::atomic<int> hostNameQueries{0};
  int operatingSystem64Bit = 0;
  int firmwareTableService = 1;
  std::function<quarn::sys::FirmwareBlock()> firmwareBlock;
  std::atomic<int> firmwareBlockQueries{0};
  // (address, length, buffer, diagnostics) -> copied
  std::function<bool(std::uint32_t, std::uint32_t, unsigned char*, std::string&)> physicalMemory;
  std::function<quarn::sys::CpuidRegisters(std::uint32_t)> cpuid;
  std::function<std::vector<std::string>()> localAddresses;
  std::atomic<int> localAddressQueries{0};
  std::function<std::vector<std::string>(const std::string&)> lookup;
  std::function<int()> random;
  std::atomic<bool> skipSleep{false};  // record sleeps without sleeping
  std::atomic<unsigned long long> sleptMs{0};
  std::atomic<int> socketStarts{0};
  std::atomic<int> socketCleanups{0};

  virtual std::string ExecutablePath();
  virtual bool IsOperatingSystem64Bit();
  virtual void SleepMilliseconds(std::uint64_t milliseconds);
  virtual std::vector<kqt::sys::ProcessInfo> ListProcesses();
  virtual int Random();
  virtual std::vector<std::string> LookupIPv4(const std::string& name);
  virtual int StartSockets();
  virtual int CleanupSockets();
  virtual bool HostName(std::string& name);
  virtual std::vector<std::string> LocalIPv4Addresses();
  virtual quarn::sys::WindowsVersionInfo WindowsVersion();
  virtual quarn::sys::RealWindowsVersion TrueWindowsVersion();
  virtual bool HasFirmwareTableService();
  virtual quarn::sys::FirmwareBlock FirmwareSmbiosBlock();
  virtual bool ReadPhysicalMemory(std::uint32_t address, std::uint32_t length, unsigned char* buffer,
                                  std::string& diagnostics);
  virtual quarn::sys::CpuidRegisters Cpuid(std::uint32_t leaf);

 private:
  friend class ScopedFakePlatform;
  struct Seams;
  std::unique_ptr<Seams> m_seams;
};

// Puts a FakePlatform in force in every seam for the lifetime of the object
// and restores what was in force before.
class ScopedFakePlatform {
 public:
  explicit ScopedFakePlatform(FakePlatform& fake);
  ~ScopedFakePlatform();
  ScopedFakePlatform(const ScopedFakePlatform&) = delete;
  ScopedFakePlatform& operator=(const ScopedFakePlatform&) = delete;

 private:
  kqt::sys::Platform* m_util;
  kqt::sys::NetPlatform* m_net;
  quarn::sys::HostPlatform* m_host;
  quarn::sys::FirmwarePlatform* m_firmware;
};

}  // namespace quarn_test

#endif
