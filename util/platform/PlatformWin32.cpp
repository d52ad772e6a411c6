// The platform queries on Windows.
// Windows headers in the order they need: winsock2 before windows.h.
#include <winsock2.h>

#include <ws2tcpip.h>

#include <windows.h>

#include <tlhelp32.h>

#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "util/Platform.h"
#include "util/platform/AnsiText.h"
#include "util/platform/Ipv4Text.h"

namespace kqt {
namespace sys {
namespace {

// Starts Windows Sockets for one call and ends it again; counted by the
// system, so it nests with the caller's own start.
class SocketsForCall {
 public:
  SocketsForCall() {
    WSADATA data;
    m_started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~SocketsForCall() {
    if (m_started) ::WSACleanup();
  }
  SocketsForCall(const SocketsForCall&) = delete;
  SocketsForCall& operator=(const SocketsForCall&) = delete;

 private:
  bool m_started;
};

class SnapshotHandle {
 public:
  explicit SnapshotHandle(HANDLE handle) : m_handle(handle) {}
  ~SnapshotHandle() {
    if (m_handle != INVALID_HANDLE_VALUE) ::CloseHandle(m_handle);
  }
  SnapshotHandle(const SnapshotHandle&) = delete;
  SnapshotHandle& operator=(const SnapshotHandle&) = delete;
  HANDLE get() const { return m_handle; }

 private:
  HANDLE m_handle;
};

// A routine of an already loaded module, looked up by name; null when absent.
template <class Function>
Function LoadedRoutine(const char* module, const char* name) {
  HMODULE handle = ::GetModuleHandleA(module);
  return handle ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(handle, name))) : nullptr;
}

// The native routines of ntdll that map physical memory, resolved by name.
struct NtSectionRoutines {
  typedef NTSTATUS(NTAPI* ZwOpenSectionFn)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES);
  typedef NTSTATUS(NTAPI* ZwMapViewOfSectionFn)(HANDLE, HANDLE, PVOID*, ULONG_PTR, SIZE_T, PLARGE_INTEGER, PSIZE_T,
                                                DWORD, ULONG, ULONG);
  typedef NTSTATUS(NTAPI* ZwUnmapViewOfSectionFn)(HANDLE, PVOID);
  typedef VOID(NTAPI* RtlInitUnicodeStringFn)(PUNICODE_STRING, PCWSTR);
  typedef ULONG(NTAPI* RtlNtStatusToDosErrorFn)(NTSTATUS);

  ZwOpenSectionFn openSection = nullptr;
  ZwMapViewOfSectionFn mapView = nullptr;
  ZwUnmapViewOfSectionFn unmapView = nullptr;
  RtlInitUnicodeStringFn initUnicodeString = nullptr;
  RtlNtStatusToDosErrorFn statusToDosError = nullptr;

  // True when all five are there; stops at the first that is missing.
  bool Load() {
    return (openSection = LoadedRoutine<ZwOpenSectionFn>("ntdll.dll", "ZwOpenSection")) &&
           (mapView = LoadedRoutine<ZwMapViewOfSectionFn>("ntdll.dll", "ZwMapViewOfSection")) &&
           (unmapView = LoadedRoutine<ZwUnmapViewOfSectionFn>("ntdll.dll", "ZwUnmapViewOfSection")) &&
           (initUnicodeString = LoadedRoutine<RtlInitUnicodeStringFn>("ntdll.dll", "RtlInitUnicodeString")) &&
           (statusToDosError = LoadedRoutine<RtlNtStatusToDosErrorFn>("ntdll.dll", "RtlNtStatusToDosError"));
  }

  // "<message>: <the system's description of the status>\n".
  std::string Describe(const char* message, NTSTATUS status) const {
    const DWORD code = statusToDosError(status);
    LPWSTR text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                     MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string description;
    if (text) {
      const int needed = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
      if (needed > 1) {
        description.resize(static_cast<size_t>(needed));
        ::WideCharToMultiByte(CP_ACP, 0, text, -1, &description[0], needed, nullptr, nullptr);
        description.resize(static_cast<size_t>(needed - 1));
      }
      ::LocalFree(text);
    }
    return std::string(message) + ": " + description + "\n";
  }
};

const DWORD kRawSmbiosProvider = 0x52534D42;  // 'RSMB'
const ACCESS_MASK kSectionMapRead = 4;        // SECTION_MAP_READ
const DWORD kViewShare = 1;

}  // namespace

std::string Platform::ExecutablePath() {
  // The wide name, converted once: the narrow call would hand out the same
  // ANSI text, but is bounded by MAX_PATH on older systems.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (n == 0) return std::string();
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    if (path.size() >= 32768) return std::string();  // longer than any Windows path
    path.resize(path.size() * 2);
  }
  SlashWide(path);
  return AnsiFromWide(path);
}

bool Platform::IsOperatingSystem64Bit() {
#if defined(_WIN64)
  return true;
#else
  typedef BOOL(WINAPI * IsWow64ProcessFn)(HANDLE, PBOOL);
  IsWow64ProcessFn isWow64 = LoadedRoutine<IsWow64ProcessFn>("kernel32.dll", "IsWow64Process");
  BOOL wow64 = FALSE;
  return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

int Platform::StartSockets() {
  WSADATA data;
  return ::WSAStartup(MAKEWORD(2, 2), &data);
}

int Platform::CleanupSockets() { return ::WSACleanup(); }

std::vector<ProcessInfo> Platform::ListProcesses() {
  std::vector<ProcessInfo> processes;
  SnapshotHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) return processes;
  PROCESSENTRY32 entry;
  std::memset(&entry, 0, sizeof entry);
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry)) {
    ProcessInfo info;
    info.pid = entry.th32ProcessID;
    info.exeName.assign(entry.szExeFile, strnlen(entry.szExeFile, sizeof entry.szExeFile));
    processes.push_back(std::move(info));
  }
  return processes;
}

bool Platform::HostName(std::string& name) {
  SocketsForCall sockets;
  char buffer[256];
  std::memset(buffer, 0, sizeof buffer);
  if (::gethostname(buffer, 255) == SOCKET_ERROR) return false;
  name = buffer;
  return true;
}

std::vector<std::string> Platform::LocalIPv4Addresses() {
  std::vector<std::string> addresses;
  SocketsForCall sockets;
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

WindowsVersionInfo Platform::WindowsVersion() {
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

bool Platform::HasFirmwareTableService() {
  OSVERSIONINFOW version;
  std::memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  if (!::GetVersionExW(&version)) return false;
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
         (version.dwMajorVersion >= 6 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 2));
}

FirmwareBlock Platform::FirmwareSmbiosBlock() {
  typedef UINT(WINAPI * GetSystemFirmwareTableFn)(DWORD, DWORD, PVOID, DWORD);
  FirmwareBlock block;
  if (!::GetModuleHandleA("kernel32.dll")) {
    block.status = FirmwareBlock::kNoService;
    return block;
  }
  GetSystemFirmwareTableFn firmwareTable =
      LoadedRoutine<GetSystemFirmwareTableFn>("kernel32.dll", "GetSystemFirmwareTable");
  if (!firmwareTable) {
    block.status = FirmwareBlock::kNoRoutine;
    return block;
  }
  // First the size of the whole block, then the block.
  const UINT size = firmwareTable(kRawSmbiosProvider, 0, nullptr, 0);
  if (size == 0) {
    block.diagnostic = "GetSystemFirmwareTable: no SMBIOS table\n";
    return block;
  }
  block.bytes.resize(size);
  const UINT copied = firmwareTable(kRawSmbiosProvider, 0, block.bytes.data(), size);
  if (copied == 0 || copied > size) {
    block.bytes.clear();
    block.diagnostic = "GetSystemFirmwareTable: the SMBIOS table could not be read\n";
    return block;
  }
  block.bytes.resize(copied);
  block.status = FirmwareBlock::kOk;
  return block;
}

bool Platform::ReadPhysicalMemory(std::uint32_t address, std::uint32_t length, unsigned char* buffer,
                                  std::string& diagnostics) {
  NtSectionRoutines nt;
  if (!nt.Load()) return false;

  UNICODE_STRING name;
  nt.initUnicodeString(&name, L"\\device\\physicalmemory");
  OBJECT_ATTRIBUTES attributes;
  std::memset(&attributes, 0, sizeof attributes);
  attributes.Length = sizeof attributes;
  attributes.ObjectName = &name;
  attributes.Attributes = OBJ_CASE_INSENSITIVE;
  HANDLE section = nullptr;
  NTSTATUS status = nt.openSection(&section, kSectionMapRead, &attributes);
  if (status < 0) {
    diagnostics += nt.Describe("Could not open \\device\\physicalmemory", status);
    return false;
  }

  SYSTEM_INFO system;
  ::GetSystemInfo(&system);
  const std::uint32_t inPage = system.dwPageSize ? address % system.dwPageSize : 0;
  PVOID base = nullptr;
  SIZE_T viewSize = static_cast<SIZE_T>(length) + inPage;
  LARGE_INTEGER offset;
  offset.QuadPart = address;
  status = nt.mapView(section, reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)), &base, 0, viewSize, &offset,
                      &viewSize, kViewShare, 0, PAGE_READONLY);
  if (status < 0) {
    char what[256];
    std::snprintf(what, sizeof what, "Could not map view of %X length %X", static_cast<unsigned>(address),
                  static_cast<unsigned>(static_cast<SIZE_T>(length) + inPage));
    diagnostics += nt.Describe(what, status);
    ::CloseHandle(section);
    return false;
  }
  // The view starts at the page boundary at or below the address.
  std::memcpy(buffer, static_cast<const unsigned char*>(base) + inPage, length);
  status = nt.unmapView(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)), base);
  if (status < 0) diagnostics += nt.Describe("Unable to unmap view", status);
  ::CloseHandle(section);
  return true;
}

std::vector<std::string> Platform::LookupIPv4(const std::string& name) {
  std::vector<std::string> addresses;
  SocketsForCall sockets;
  struct addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;  // one entry per address, not one per socket type
  struct addrinfo* results = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &results) != 0) return addresses;
  addresses = Ipv4Addresses(results);
  ::freeaddrinfo(results);
  return addresses;
}

}  // namespace sys
}  // namespace kqt
