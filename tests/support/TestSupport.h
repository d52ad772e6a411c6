// Helpers shared by the tests: a temporary installation tree, a platform
// whose answers the test fixes, and small file helpers.
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

namespace quarn_test {

// A fresh, empty directory that is removed with the object. Its path is
// absolute, "/"-separated and without symbolic links.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

// An installation tree in a temporary directory: root R, with the program
// taken to live in R/client/bin (the fake executable R/client/bin/agent.exe
// is installed as the platform's answer while the object lives).
class TempInstallation {
 public:
  TempInstallation();
  ~TempInstallation();

  const std::string& root() const { return m_root; }
  std::string binDir() const { return m_root + "/client/bin"; }
  std::string confDir() const { return binDir() + "/conf"; }
  std::string settingsPath() const { return confDir() + "/cli_config.ini"; }
  std::string globalCfgDir() const { return m_root + "/globalcfg"; }

  void WriteSettings(const std::string& content) const;
  void WriteDomainOverride(const std::string& content) const;

  FakePlatform platform;

 private:
  TempDir m_dir;
  std::string m_root;
  ScopedFakePlatform m_override;
};

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
