// The SMBIOS code's firmware queries on Windows.
#include <windows.h>

#include <winternl.h>

#include <cstdio>
#include <cstring>

#include "hwinfo/platform/FirmwarePlatform.h"
#include "util/platform/LoadedRoutine.h"

namespace quarn {
namespace sys {
namespace {

using kqt::sys::LoadedRoutine;

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

bool FirmwarePlatform::HasFirmwareTableService() {
  OSVERSIONINFOW version;
  std::memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  if (!::GetVersionExW(&version)) return false;
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
         (version.dwMajorVersion >= 6 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 2));
}

FirmwareBlock FirmwarePlatform::FirmwareSmbiosBlock() {
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

bool FirmwarePlatform::ReadPhysicalMemory(std::uint32_t address, std::uint32_t length, unsigned char* buffer,
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

}  // namespace sys
}  // namespace quarn
