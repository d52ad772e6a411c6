// The kqt utility library's platform queries on Windows.
#include "util/platform/Win32.h"
// After the door: the Toolhelp snapshot of the process list.
#include <tlhelp32.h>

#include <cstring>

#include "util/platform/Platform.h"

namespace kqt {
namespace sys {

bool LocalTime(std::time_t seconds, std::tm& local) { return ::localtime_s(&local, &seconds) == 0; }

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
  // Looked up: Windows XP before SP2 lacks it (and is then 32-bit).
  IsWow64ProcessFn isWow64 = LoadedRoutine<IsWow64ProcessFn>("kernel32.dll", "IsWow64Process");
  BOOL wow64 = FALSE;
  return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

void Platform::SleepMilliseconds(std::uint64_t milliseconds) {
  // Sleep takes 32 bits, and INFINITE (all ones) means for ever.
  while (milliseconds > 0) {
    const DWORD now = milliseconds >= 0xFFFFFFFEu ? 0xFFFFFFFEu : static_cast<DWORD>(milliseconds);
    ::Sleep(now);
    milliseconds -= now;
  }
}

std::vector<ProcessInfo> Platform::ListProcesses() {
  std::vector<ProcessInfo> processes;
  ScopedFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.valid()) return processes;
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

}  // namespace sys
}  // namespace kqt
