#include <chrono>

#include "bench/platform/ChildRun.h"
#include "util/platform/Win32.h"

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

// The most memory the processes of `job` committed, 0 where the system does
// not say: a process's own counters are gone once it has ended.
std::uint64_t PeakCommit(HANDLE job) {
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION information{};
  if (!::QueryInformationJobObject(job, JobObjectExtendedLimitInformation, &information, sizeof information, nullptr))
    return 0;
  return information.PeakProcessMemoryUsed;
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
  // Started suspended and put in a job first, whose record of the peak
  // outlives the process.
  const HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
  const auto start = std::chrono::steady_clock::now();
  const BOOL made = ::CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr,
                                     &startup, &process);
  if (null != INVALID_HANDLE_VALUE) ::CloseHandle(null);
  if (!made) {
    if (job) ::CloseHandle(job);
    return run;
  }
  const bool inJob = job && ::AssignProcessToJobObject(job, process.hProcess);
  ::ResumeThread(process.hThread);
  ::WaitForSingleObject(process.hProcess, INFINITE);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.started = true;
  DWORD code = 0;
  if (::GetExitCodeProcess(process.hProcess, &code)) run.exitCode = static_cast<int>(code);
  run.peakBytes = inJob ? PeakCommit(job) : 0;
  if (job) ::CloseHandle(job);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return run;
}

}  // namespace quarn_bench
