// The SMBIOS code's firmware queries on Windows.
#include "util/platform/Win32.h"
// After the door: the native section routines' types.
#include <winternl.h>

#include <cstdio>
#include <cstring>

#include "hwinfo/SmbiosParsing.h"
#include "hwinfo/platform/FirmwarePlatform.h"

namespace quarn {
namespace sys {
namespace {

using kqt::sys::LoadedRoutine;

const DWORD kRawSmbiosProvider = 0x52534D42;  // 'RSMB'
const ACCESS_MASK kSectionMapRead = 4;        // SECTION_MAP_READ
const DWORD kViewShare = 1;
const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));

typedef NTSTATUS(NTAPI* ZwOpenSectionFn)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES);
typedef NTSTATUS(NTAPI* ZwMapViewOfSectionFn)(HANDLE, HANDLE, PVOID*, ULONG_PTR, SIZE_T, PLARGE_INTEGER, PSIZE_T, DWORD,
                                              ULONG, ULONG);
typedef NTSTATUS(NTAPI* ZwUnmapViewOfSectionFn)(HANDLE, PVOID);
typedef VOID(NTAPI* RtlInitUnicodeStringFn)(PUNICODE_STRING, PCWSTR);
typedef ULONG(NTAPI* RtlNtStatusToDosErrorFn)(NTSTATUS);

ZwUnmapViewOfSectionFn UnmapRoutine() {
  return LoadedRoutine<ZwUnmapViewOfSectionFn>("ntdll.dll", "ZwUnmapViewOfSection");
}

// A view of the section, unmapped at the end of its scope.
struct ViewTraits {
  using Handle = PVOID;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle base) {
    if (const ZwUnmapViewOfSectionFn unmap = UnmapRoutine()) unmap(kCurrentProcess, base);
  }
};
using ScopedView = kqt::sys::ScopedHandle<ViewTraits>;

// The native routines of ntdll that map physical memory, resolved by name,
// each time they are needed.
struct NtSectionRoutines {
  ZwOpenSectionFn openSection = nullptr;
  ZwMapViewOfSectionFn mapView = nullptr;
  ZwUnmapViewOfSectionFn unmapView = nullptr;
  RtlInitUnicodeStringFn initUnicodeString = nullptr;
  RtlNtStatusToDosErrorFn statusToDosError = nullptr;

  // True when all five are there; stops at the first that is missing.
  bool Load() {
    return (openSection = LoadedRoutine<ZwOpenSectionFn>("ntdll.dll", "ZwOpenSection")) &&
           (mapView = LoadedRoutine<ZwMapViewOfSectionFn>("ntdll.dll", "ZwMapViewOfSection")) &&
           (unmapView = UnmapRoutine()) &&
           (initUnicodeString = LoadedRoutine<RtlInitUnicodeStringFn>("ntdll.dll", "RtlInitUnicodeString")) &&
           (statusToDosError = LoadedRoutine<RtlNtStatusToDosErrorFn>("ntdll.dll", "RtlNtStatusToDosError"));
  }

  // "<message>: <the system's description of the status>\n".
  std::string Describe(const char* message, NTSTATUS status) const {
    LPWSTR text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, statusToDosError(status),
                     MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string description;
    if (text) {
      description = kqt::sys::AnsiFromWide(text, std::wcslen(text));
      ::LocalFree(text);
    }
    return std::string(message) + ": " + description + "\n";
  }
};

}  // namespace

bool FirmwarePlatform::HasFirmwareTableService() {
  OSVERSIONINFOW version;
  std::memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  return ::GetVersionExW(&version) &&
         quarn::smbios::IsNt52OrLater(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}

FirmwareBlock FirmwarePlatform::FirmwareSmbiosBlock() {
  typedef UINT(WINAPI * GetSystemFirmwareTableFn)(DWORD, DWORD, PVOID, DWORD);
  FirmwareBlock block;
  if (!::GetModuleHandleA("kernel32.dll")) {
    block.diagnostic = "failed to load library kernel32.dll";
    return block;
  }
  const GetSystemFirmwareTableFn firmwareTable =
      LoadedRoutine<GetSystemFirmwareTableFn>("kernel32.dll", "GetSystemFirmwareTable");
  if (!firmwareTable) {
    block.diagnostic = "failed to get address of GetSystemFirmwareTable";
    return block;
  }
  // First the size of the whole block, then the block. The size is the
  // system's word: bounded before anything is allocated for it.
  const UINT size = firmwareTable(kRawSmbiosProvider, 0, nullptr, 0);
  if (size == 0) {
    block.diagnostic = "GetSystemFirmwareTable: no SMBIOS table\n";
    return block;
  }
  if (size > kMostFirmwareBytes) {
    block.diagnostic =
        "GetSystemFirmwareTable: a block of " + std::to_string(size) + " bytes, larger than any SMBIOS table\n";
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
  HANDLE opened = nullptr;
  NTSTATUS status = nt.openSection(&opened, kSectionMapRead, &attributes);
  if (status < 0) {
    diagnostics += nt.Describe("Could not open \\device\\physicalmemory", status);
    return false;
  }
  const kqt::sys::ScopedKernelHandle section(opened);

  SYSTEM_INFO system;
  ::GetSystemInfo(&system);
  const std::uint32_t inPage = system.dwPageSize ? address % system.dwPageSize : 0;
  PVOID base = nullptr;
  SIZE_T viewSize = static_cast<SIZE_T>(length) + inPage;
  LARGE_INTEGER offset;
  offset.QuadPart = address;
  status =
      nt.mapView(section.get(), kCurrentProcess, &base, 0, viewSize, &offset, &viewSize, kViewShare, 0, PAGE_READONLY);
  if (status < 0) {
    char what[256];
    std::snprintf(what, sizeof what, "Could not map view of %X length %X", static_cast<unsigned>(address),
                  static_cast<unsigned>(static_cast<SIZE_T>(length) + inPage));
    diagnostics += nt.Describe(what, status);
    return false;
  }
  ScopedView view(base);
  // The view starts at the page boundary at or below the address.
  std::memcpy(buffer, static_cast<const unsigned char*>(view.get()) + inPage, length);
  // Unmapped here rather than by the scope, to say when that fails.
  status = nt.unmapView(kCurrentProcess, view.release());
  if (status < 0) diagnostics += nt.Describe("Unable to unmap view", status);
  return true;
}

}  // namespace sys
}  // namespace quarn
