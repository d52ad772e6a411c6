#include "support/TempInstallation.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

namespace quarn_test {
namespace {

// Fixes the executable path before the fake is put in force.
std::string PrepareInstallation(const std::string& root, FakePlatform& platform) {
  fs::create_directories(fs::path(root + "/client/bin/conf"));
  platform.executablePath = root + "/client/bin/agent.exe";
  return root;
}

}  // namespace

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
  throw std::runtime_error("cannot create a temporary directory in " + base.generic_string());
}

TempDir::~TempDir() {
  std::error_code error;
  if (!m_path.empty()) fs::remove_all(fs::path(m_path), error);
}

TempInstallation::TempInstallation()
    : m_root(PrepareInstallation(m_dir.path() + "/R", platform)), m_override(platform) {}

TempInstallation::~TempInstallation() = default;

void TempInstallation::WriteSettings(const std::string& content) const { WriteBytes(settingsPath(), content); }

void TempInstallation::WriteDomainOverride(const std::string& content) const {
  fs::create_directories(fs::path(globalCfgDir()));
  WriteBytes(overridePath(), content);
}

void TempInstallation::WriteUpdaterRecord(const std::string& content) const {
  fs::create_directories(fs::path(updateDir()));
  WriteBytes(updateDir() + "/cur_version.txt", content);
}

void WriteBytes(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out.good()) throw std::runtime_error("cannot write " + path);
}

}  // namespace quarn_test
