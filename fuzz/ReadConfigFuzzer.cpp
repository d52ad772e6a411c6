// ReadConfig on a settings file of arbitrary bytes, in a temporary
// installation. The domain override replaces both server lists on every
// read, so the object does not grow from run to run.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "config/QuarnConfig.h"
#include "support/TempInstallation.h"
#include "util/LogMessage.h"

namespace {

struct Installation : quarn_test::TempInstallation {
  std::string settings = settingsPath();
  CQuarnConfig* config = nullptr;

  Installation() {
    WriteDomainOverride("srv_domain=s.example.com\nupdate_srv_domain=u.example.com\n");
    kqt::CLogMessage::GetInstance()->SetLogLevel(0);  // quiet: a missing file is not news here
    config = CSingleton<CQuarnConfig>::NewInstance();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Installation installation;
  {
    std::ofstream out(installation.settings, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  installation.config->ReadConfig(installation.settings);
  kqt::CLogMessage::GetInstance()->SetLogLevel(0);  // the file may have set it
  // The lists must not grow from read to read: the override's one item,
  // then this file's items (at most one more than its "|" separators) or
  // the default list's handful.
  const size_t separators = static_cast<size_t>(std::count(data, data + size, static_cast<uint8_t>('|')));
  if (installation.config->GetAllSrvUrl().size() > 1 + std::max<size_t>(separators + 1, 64)) __builtin_trap();
  (void)installation.config->GetInstallModule();
  (void)installation.config->GetMaxCpuUse();
  return 0;
}
