#include "bench/BenchMachine.h"

#include <fstream>
#include <random>

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
  // A 3 KiB table: structures of type 0 and, last, type 1 with a UUID.
  std::vector<unsigned char> table;
  while (table.size() < 3000) {
    const unsigned char structure[] = {2, 8, 0, 0, 1, 2, 3, 4, 'b', 'o', 'a', 'r', 'd', 0, 0};
    table.insert(table.end(), structure, structure + sizeof structure);
  }
  std::vector<unsigned char> system = {1, 27, 1, 0, 1, 2, 3, 4};
  for (int i = 0; i < 16; ++i) system.push_back(static_cast<unsigned char>(i * 17));
  system.insert(system.end(), {6, 0, 0, 'M', 0, 0});
  table.insert(table.end(), system.begin(), system.end());
  table.insert(table.end(), {127, 4, 0xFF, 0xFE, 0, 0});
  const uint32_t length = static_cast<uint32_t>(table.size());
  auto& block = platform.block;
  block = {0, 2, 8, 0, static_cast<unsigned char>(length), static_cast<unsigned char>(length >> 8), 0, 0};
  block.insert(block.end(), table.begin(), table.end());
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
