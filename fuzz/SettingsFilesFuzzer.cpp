// Both settings files of an installation at once: the input is the client
// settings file, and after a line "%%" the domain override file. Each input
// gets a new configuration object (whose construction reads both files) and
// one more ReadConfig, and the server lists are checked after each read
// against the merge rule, worked out here from the files themselves: the
// override file's items replace a list when its key is not empty, and the
// settings file's non-empty items (or the default list's) are appended.
#include <SimpleIni.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "config/DeploymentDefaults.h"
#include "config/IniSyntax.h"
#include "support/TempInstallation.h"

namespace {

struct Installation : quarn_test::TempInstallation {
  std::string settings = settingsPath(), overrides = overridePath();
  Installation() { WriteDomainOverride(""); }
};

void Write(const std::string& path, const char* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data, static_cast<std::streamsize>(size));
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> items;
  std::string::size_type start = 0, bar;
  while ((bar = text.find('|', start)) != std::string::npos) {
    items.push_back(text.substr(start, bar - start));
    start = bar + 1;
  }
  items.push_back(text.substr(start));
  return items;
}

const char* Value(const CSimpleIniA& ini, const char* key, const char* fallback) {
  const char* value = ini.GetValue("", key, fallback);
  return value ? value : "";
}

// The list a read must leave, from the one before it and the two files.
std::vector<std::string> Expected(std::vector<std::string> list, const CSimpleIniA& settings,
                                  const CSimpleIniA& overrides, const char* key, const char* defaults) {
  const std::string replacement = Value(overrides, key, "");
  if (!replacement.empty()) list = Split(replacement);
  for (const std::string& item : Split(Value(settings, key, defaults)))
    if (!item.empty()) list.push_back(item);
  return list;
}

void CheckLists(CQuarnConfig& config, const std::vector<std::string>& services,
                const std::vector<std::string>& updates) {
  if (config.GetAllSrvUrl() != services || config.GetAllUpdateUrl() != updates) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Installation installation;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string::size_type mark = input.find("\n%%\n");
  const std::string settingsText = input.substr(0, mark);
  const std::string overrideText = mark == std::string::npos ? std::string() : input.substr(mark + 4);
  Write(installation.settings, settingsText.data(), settingsText.size());
  Write(installation.overrides, overrideText.data(), overrideText.size());

  // The reader itself, given the keys of the unnamed section alone: it holds
  // what it would hold given the whole file (the IniWalk target checks
  // that), and a long section name over many keys does not make this
  // expectation cost the product of the two.
  CSimpleIniA settings(false, false, false), overrides(false, false, false);
  const std::string settingsKeys = quarn::settings::UnnamedSectionText(settingsText);
  const std::string overrideKeys = quarn::settings::UnnamedSectionText(overrideText);
  settings.LoadData(settingsKeys.data(), settingsKeys.size());
  overrides.LoadData(overrideKeys.data(), overrideKeys.size());
  using quarn::kDefaultServiceServers;
  using quarn::kDefaultUpdateServers;
  const std::vector<std::string> firstServices =
      Expected({}, settings, overrides, "srv_domain", kDefaultServiceServers);
  const std::vector<std::string> firstUpdates =
      Expected({}, settings, overrides, "update_srv_domain", kDefaultUpdateServers);

  quarn_fuzz::FreshConfig config;
  CheckLists(*config, firstServices, firstUpdates);
  // A second read appends the settings file's items again, unless the
  // override file replaces a list first.
  const bool loaded = config->ReadConfig(installation.settings);
  kqt::CLogMessage::GetInstance()->SetLogLevel(0);  // the file may have set it
  CheckLists(*config, Expected(firstServices, settings, overrides, "srv_domain", kDefaultServiceServers),
             Expected(firstUpdates, settings, overrides, "update_srv_domain", kDefaultUpdateServers));
  if (loaded && config->GetInstallModule().empty()) __builtin_trap();
  if (config->WafRuleRefreshInMinute() <= 0 || config->WafPortRefreshInMinute() <= 0) __builtin_trap();
  const double cpu = config->GetMaxCpuUse();
  if (cpu <= 0 || cpu > 90) __builtin_trap();
  return 0;
}
