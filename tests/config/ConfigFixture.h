// A configuration object built in a temporary installation, with the log
// captured. The object is removed before the installation goes away.
#ifndef QUARN_TESTS_CONFIG_CONFIGFIXTURE_H
#define QUARN_TESTS_CONFIG_CONFIGFIXTURE_H

#include <gtest/gtest.h>

#include "config/QuarnConfig.h"
#include "support/TestSupport.h"

class ConfigFixture : public ::testing::Test {
 protected:
  void TearDown() override { CSingleton<CQuarnConfig>::RemoveInstance(); }

  CQuarnConfig& Config() { return *CSingleton<CQuarnConfig>::NewInstance(); }

  // Writes `content` as the settings file and reads it into the object.
  bool Read(const std::string& content) {
    installation.WriteSettings(content);
    return Config().ReadConfig(installation.settingsPath());
  }

  quarn_test::CapturedLog log;
  quarn_test::TempInstallation installation;
};

#endif
