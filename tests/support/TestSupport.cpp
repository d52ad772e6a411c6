#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "support/TestThread.h"
#include "util/LogMessage.h"

#if defined(_WIN32)
#include "util/platform/Win32.h"
#else
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace quarn_test {

bool ExpectedSystemIs64Bit() {
  const char* stated = std::getenv("QUARN_EXPECT_64BIT_SYSTEM");
  if (stated && *stated) return std::string(stated) == "1";
  return sizeof(void*) == 8;
}

std::string BuiltProgram(const std::string& name) {
  // The real executable's directory, whatever a test substitutes.
  const std::string self = kqt::sys::NativePlatform().ExecutablePath();
  const std::string dir = self.substr(0, self.find_last_of('/'));
#if defined(_WIN32)
  return dir + "/" + name + ".exe";
#else
  return dir + "/" + name;
#endif
}

ChildProcess::ChildProcess(const std::string& program, const std::string& argument) {
#if defined(_WIN32)
  std::string command = "\"" + program + "\" " + argument;
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!::CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    ADD_FAILURE() << "cannot start " << program << ": error " << ::GetLastError();
    return;
  }
  ::CloseHandle(process.hThread);
  m_handle = process.hProcess;
  m_pid = process.dwProcessId;
#else
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl(program.c_str(), program.c_str(), argument.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  if (child < 0) ADD_FAILURE() << "cannot start " << program;
  m_pid = child > 0 ? static_cast<unsigned int>(child) : 0;
#endif
}

ChildProcess::~ChildProcess() { End(); }

void ChildProcess::End() {
#if defined(_WIN32)
  if (!m_handle) return;
  ::TerminateProcess(m_handle, 0);
  ::WaitForSingleObject(m_handle, 10000);
  ::CloseHandle(m_handle);
  m_handle = nullptr;
#else
  if (!m_pid) return;
  ::kill(static_cast<pid_t>(m_pid), SIGKILL);
  ::waitpid(static_cast<pid_t>(m_pid), nullptr, 0);
#endif
  m_pid = 0;
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

#if defined(_WIN32)
namespace {
// Narrow test paths are in the ANSI code page, as the library's are; the
// narrow std::filesystem constructor would read them otherwise.
std::wstring Wide(const std::string& text) {
  const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  return wide;
}
}  // namespace

bool IsDirectory(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeDirectories(const std::string& path) {
  for (size_t at = path.find('/', 3);; at = path.find('/', at + 1)) {
    const std::string part = path.substr(0, at);
    if (!IsDirectory(part)) ::CreateDirectoryW(Wide(part).c_str(), nullptr);
    if (at == std::string::npos) break;
  }
  ASSERT_TRUE(IsDirectory(path)) << "cannot create " << path;
}

bool MakeFifo(const std::string&) { return false; }
#else
bool MakeFifo(const std::string& path) { return ::mkfifo(path.c_str(), 0600) == 0; }

bool IsDirectory(const std::string& path) {
  std::error_code error;
  return fs::is_directory(fs::path(path), error);
}

void MakeDirectories(const std::string& path) {
  std::error_code error;
  fs::create_directories(fs::path(path), error);
  ASSERT_TRUE(IsDirectory(path)) << "cannot create " << path;
}
#endif

CapturedLog::CapturedLog() : m_path(m_dir.path() + "/log.txt") {
  kqt::CLogMessage::GetInstance()->SetLogLevel(kqt::CLogMessage::kDefaultLevel);
  EXPECT_TRUE(kqt::CLogMessage::GetInstance()->SetLogFile(m_path));
}

CapturedLog::~CapturedLog() {
  kqt::CLogMessage::GetInstance()->SetLogFile(std::string());
  kqt::CLogMessage::GetInstance()->SetLogLevel(kqt::CLogMessage::kDefaultLevel);
}

std::vector<std::string> CapturedLog::Lines() const {
  std::vector<std::string> lines;
  std::istringstream in(Text());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace quarn_test
