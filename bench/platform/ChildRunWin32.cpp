#include <psapi.h>
#include <windows.h>

#include <chrono>

#include "bench/platform/ChildRun.h"

namespace quarn_bench {
namespace {

// One argument as the C runtime of the child splits its command line.
std::wstring Quoted(const std::string& text) {
  std::wstring wide(text.begin(), text.end());  // the benchmark's arguments are ASCII
  std::wstring quoted = L"\"";
  for (wchar_t c : wide) {
    if (c == L'"') quoted += L'\\';
    quoted += c;
  }
  return quoted + L"\"";
}

std::uint64_t PeakCommit(HANDLE process) {
  // K32GetProcessMemoryInfo from Windows 7 on; psapi's name before.
  using Query = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
  Query query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "K32GetProcessMemoryInfo")));
  if (!query) {
    if (HMODULE psapi = ::LoadLibraryW(L"psapi.dll"))
      query = reinterpret_cast<Query>(reinterpret_cast<void*>(::GetProcAddress(psapi, "GetProcessMemoryInfo")));
  }
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!query || !query(process, &counters, sizeof counters)) return 0;
  return counters.PeakPagefileUsage;
}

}  // namespace

ChildRun RunChild(const std::string& program, const std::vector<std::string>& arguments) {
  ChildRun run;
  std::wstring command = Quoted(program);
  for (const std::string& argument : arguments) command += L" " + Quoted(argument);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE null =
      ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = null;
  startup.hStdError = null;
  PROCESS_INFORMATION process{};
  const auto start = std::chrono::steady_clock::now();
  const BOOL made =
      ::CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  if (null != INVALID_HANDLE_VALUE) ::CloseHandle(null);
  if (!made) return run;
  ::WaitForSingleObject(process.hProcess, INFINITE);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.started = true;
  DWORD code = 0;
  if (::GetExitCodeProcess(process.hProcess, &code)) run.exitCode = static_cast<int>(code);
  run.peakBytes = PeakCommit(process.hProcess);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return run;
}

}  // namespace quarn_bench
