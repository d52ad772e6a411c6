#include "bench/BenchMachine.h"

#include <fstream>
#include <random>

#include "support/SmbiosTables.h"
#include "util/LogMessage.h"

namespace fs = std::filesystem;

namespace quarn_bench {

quarn::sys::FirmwareBlock BenchPlatform::FirmwareSmbiosBlock() {
  quarn::sys::FirmwareBlock result;
  result.status = quarn::sys::FirmwareBlock::kOk;
  result.bytes = block;
  return result;
}

std::vector<std::string> BenchPlatform::LocalIPv4Addresses() { return {"192.0.2.9", "10.20.30.40"}; }

Machine::Machine() {
  root = fs::temp_directory_path() / ("quarn-bench-" + std::to_string(std::random_device{}()));
  fs::create_directories(root / "client/bin/conf");
  fs::create_directories(root / "globalcfg");
  fs::create_directories(root / "quarn_update");
  std::ofstream(root / "client/bin/conf/cli_config.ini")
      << "current_version=quarn_01_05\ndefaultinstall=standard\nloglevel=4\nmax_cpuuse=25\n"
         "waf_cfg=mode=detect\nsrv_domain=svc-a.example.com|svc-b.example.com\n";
  std::ofstream(root / "globalcfg/domaincfg.ini") << "update_srv_domain=mirror.example.net\n";
  std::ofstream(root / "quarn_update/cur_version.txt") << "update_01_07\n";
  platform.executablePath = (root / "client/bin/agent").generic_string();
  // A 3 KiB table of SMBIOS 2.8, its UUID last.
  platform.block = quarn_test::FirmwareBlockBytes(2, 8, quarn_test::TableOfSize(3000 + 70));
  use = std::make_unique<quarn_test::ScopedFakePlatform>(platform);
  kqt::CLogMessage::GetInstance()->SetLogLevel(0);
}

Machine::~Machine() {
  use.reset();
  std::error_code ignored;
  fs::remove_all(root, ignored);
}

Machine& TheMachine() {
  static Machine machine;
  return machine;
}

CQuarnConfig& Config() {
  TheMachine();
  return *CSingleton<CQuarnConfig>::NewInstance();
}

}  // namespace quarn_bench
