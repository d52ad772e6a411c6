#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "util/LogMessage.h"

namespace fs = std::filesystem;

namespace quarn_test {

TempDir::TempDir() {
  std::random_device seed;
  const fs::path base = fs::canonical(fs::temp_directory_path());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = base / ("quarn-test-" + std::to_string(seed()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      m_path = candidate.generic_string();
      return;
    }
  }
  ADD_FAILURE() << "cannot create a temporary directory in " << base.generic_string();
}

TempDir::~TempDir() {
  std::error_code error;
  if (!m_path.empty()) fs::remove_all(fs::path(m_path), error);
}

std::string FakePlatform::ExecutablePath() {
  return executablePath.empty() ? Platform::ExecutablePath() : executablePath;
}

int FakePlatform::StartSockets() {
  ++socketStarts;
  return Platform::StartSockets();
}

int FakePlatform::CleanupSockets() {
  ++socketCleanups;
  return Platform::CleanupSockets();
}

std::vector<kqt::sys::ProcessInfo> FakePlatform::ListProcesses() {
  return processes ? processes() : Platform::ListProcesses();
}

std::vector<std::string> FakePlatform::LocalIPv4Addresses() {
  ++localAddressQueries;
  return localAddresses ? localAddresses() : Platform::LocalIPv4Addresses();
}

std::vector<std::string> FakePlatform::LookupIPv4(const std::string& name) {
  return lookup ? lookup(name) : Platform::LookupIPv4(name);
}

int FakePlatform::Random() { return random ? random() : Platform::Random(); }

namespace {
// Fixes the executable path before the override is installed.
std::string PrepareInstallation(const std::string& root, FakePlatform& platform) {
  fs::create_directories(fs::path(root + "/client/bin/conf"));
  platform.executablePath = root + "/client/bin/agent.exe";
  return root;
}
}  // namespace

TempInstallation::TempInstallation()
    : m_root(PrepareInstallation(m_dir.path() + "/R", platform)), m_override(platform) {}

TempInstallation::~TempInstallation() = default;

void TempInstallation::WriteSettings(const std::string& content) const { WriteFile(settingsPath(), content); }

void TempInstallation::WriteDomainOverride(const std::string& content) const {
  fs::create_directories(fs::path(globalCfgDir()));
  WriteFile(globalCfgDir() + "/domaincfg.ini", content);
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

bool IsDirectory(const std::string& path) {
  std::error_code error;
  return fs::is_directory(fs::path(path), error);
}

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
