// The configuration library's host queries on Windows.
#include "util/platform/Win32.h"

#include <cstring>

#include "config/platform/HostPlatform.h"
#include "util/platform/SocketsForCall.h"

namespace quarn {
namespace sys {
namespace {

using kqt::sys::LoadedRoutine;

}  // namespace

int HostPlatform::StartSockets() {
  WSADATA data;
  return ::WSAStartup(MAKEWORD(2, 2), &data);
}

int HostPlatform::CleanupSockets() { return ::WSACleanup(); }

bool HostPlatform::HostName(std::string& name) {
  kqt::sys::SocketsForCall sockets;
  char buffer[256];
  std::memset(buffer, 0, sizeof buffer);
  if (::gethostname(buffer, 255) == SOCKET_ERROR) return false;
  name = buffer;
  return true;
}

std::vector<std::string> HostPlatform::LocalIPv4Addresses() {
  std::vector<std::string> addresses;
  kqt::sys::SocketsForCall sockets;
  char name[256];
  std::memset(name, 0, sizeof name);
  if (::gethostname(name, 255) == SOCKET_ERROR) return addresses;
  // The host entry and the texts of inet_ntoa live in this thread's own
  // storage until its next socket call: copy each text at once.
  const hostent* host = ::gethostbyname(name);
  if (!host || host->h_addrtype != AF_INET || host->h_length != 4 || !host->h_addr_list) return addresses;
  for (char** entry = host->h_addr_list; *entry; ++entry) {
    in_addr address;
    std::memcpy(&address, *entry, sizeof address);
    addresses.push_back(::inet_ntoa(address));
  }
  return addresses;
}

WindowsVersionInfo HostPlatform::WindowsVersion() {
  WindowsVersionInfo info;
  OSVERSIONINFOEXA version;
  std::memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;  // the extended record: product type and suite mask too
  if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version))) std::memset(&version, 0, sizeof version);

  // The native system's processor, also for a 32-bit process under WOW64.
  typedef void(WINAPI * GetNativeSystemInfoFn)(LPSYSTEM_INFO);
  SYSTEM_INFO system;
  std::memset(&system, 0, sizeof system);
  if (GetNativeSystemInfoFn native = LoadedRoutine<GetNativeSystemInfoFn>("kernel32.dll", "GetNativeSystemInfo"))
    native(&system);
  else
    ::GetSystemInfo(&system);

  info.platformId = version.dwPlatformId;
  info.major = version.dwMajorVersion;
  info.minor = version.dwMinorVersion;
  info.build = version.dwBuildNumber;
  std::memcpy(info.servicePack, version.szCSDVersion, sizeof info.servicePack);
  info.productType = version.wProductType;
  info.suiteMask = version.wSuiteMask;
  info.processorArchitecture = system.wProcessorArchitecture;
  if (info.major == 5 && info.minor == 2) info.serverR2 = ::GetSystemMetrics(SM_SERVERR2);
  if (info.major == 6) {
    typedef BOOL(WINAPI * GetProductInfoFn)(DWORD, DWORD, DWORD, DWORD, PDWORD);
    DWORD code = 0;  // PRODUCT_UNDEFINED where the query is missing or fails
    GetProductInfoFn productInfo = LoadedRoutine<GetProductInfoFn>("kernel32.dll", "GetProductInfo");
    if (!productInfo || !productInfo(info.major, info.minor, 0, 0, &code)) code = 0;
    info.productCode = code;
  }
  return info;
}

RealWindowsVersion HostPlatform::TrueWindowsVersion() {
  // The native routine answers with the version the system runs; the
  // documented ones answer what a program without a manifest is to be told.
  typedef LONG(WINAPI * RtlGetVersionFn)(OSVERSIONINFOW*);
  RealWindowsVersion real;
  const RtlGetVersionFn rtlGetVersion = LoadedRoutine<RtlGetVersionFn>("ntdll.dll", "RtlGetVersion");
  OSVERSIONINFOW version;
  std::memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  if (!rtlGetVersion || rtlGetVersion(&version) != 0) return real;
  real.known = true;
  real.major = version.dwMajorVersion;
  real.minor = version.dwMinorVersion;
  real.build = version.dwBuildNumber;
  return real;
}

}  // namespace sys
}  // namespace quarn
