// A temporary installation tree with the fake machine in force: what the
// tests, the benchmarks and the fuzz targets all stand on. Failures to make
// it throw std::runtime_error (GoogleTest reports them as failures).
#ifndef QUARN_TESTS_SUPPORT_TEMPINSTALLATION_H
#define QUARN_TESTS_SUPPORT_TEMPINSTALLATION_H

#include <string>

#include "support/FakePlatform.h"

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
  TempInstallation(const TempInstallation&) = delete;
  TempInstallation& operator=(const TempInstallation&) = delete;

  const std::string& root() const { return m_root; }
  std::string binDir() const { return m_root + "/client/bin"; }
  std::string confDir() const { return binDir() + "/conf"; }
  std::string settingsPath() const { return confDir() + "/cli_config.ini"; }
  std::string globalCfgDir() const { return m_root + "/globalcfg"; }
  std::string overridePath() const { return globalCfgDir() + "/domaincfg.ini"; }
  std::string updateDir() const { return m_root + "/quarn_update"; }

  void WriteSettings(const std::string& content) const;
  // Makes globalcfg when it is missing.
  void WriteDomainOverride(const std::string& content) const;
  // Makes quarn_update when it is missing.
  void WriteUpdaterRecord(const std::string& content) const;

  FakePlatform platform;

 private:
  TempDir m_dir;
  std::string m_root;
  ScopedFakePlatform m_override;
};

// Writes `content` to `path` as it is; throws when it cannot.
void WriteBytes(const std::string& path, const std::string& content);

}  // namespace quarn_test

#endif
