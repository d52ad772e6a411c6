// Helpers shared by the tests: a temporary installation tree and a
// platform whose answers the test fixes (support/TempInstallation.h), child
// processes, and small file helpers.
#ifndef QUARN_TESTS_SUPPORT_TESTSUPPORT_H
#define QUARN_TESTS_SUPPORT_TESTSUPPORT_H

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "support/FakePlatform.h"
#include "support/Machines.h"
#include "support/TempInstallation.h"

namespace quarn_test {

// A program of this build started as a separate process; ended (killed and
// waited for) with the object.
class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::string& argument);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  unsigned int pid() const { return m_pid; }
  void End();

 private:
  unsigned int m_pid = 0;
#if defined(_WIN32)
  void* m_handle = nullptr;  // the process handle
#endif
};

// Whether the system the test runs on is 64-bit, as the test run states it
// (QUARN_EXPECT_64BIT_SYSTEM=1 or 0: a 32-bit Windows program in a 64-bit or
// a 32-bit prefix); unstated, the word size of the test program itself.
bool ExpectedSystemIs64Bit();

// Path of a program built beside the running test program.
std::string BuiltProgram(const std::string& name);

void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
// Paths as the library's: bytes on POSIX, the ANSI code page on Windows.
bool IsDirectory(const std::string& path);
void MakeDirectories(const std::string& path);
// A FIFO (named pipe) at `path`; false where the system has none (Windows).
bool MakeFifo(const std::string& path);

// Sends the process-wide log to a file for the lifetime of the object, at
// the default threshold, and restores standard error afterwards.
class CapturedLog {
 public:
  CapturedLog();
  ~CapturedLog();
  std::string Text() const { return ReadFile(m_path); }
  std::vector<std::string> Lines() const;

 private:
  TempDir m_dir;
  std::string m_path;
};

}  // namespace quarn_test

#endif
