// The benchmarks' machine: an installation in a temporary directory and a
// firmware table of a typical size, given through the platform seam, so
// that every run measures the same work.
#ifndef QUARN_BENCH_BENCHMACHINE_H
#define QUARN_BENCH_BENCHMACHINE_H

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "config/QuarnConfig.h"
#include "support/FakePlatform.h"

namespace quarn_bench {

class BenchPlatform : public quarn_test::FakePlatform {
 public:
  std::vector<unsigned char> block;
  quarn::sys::FirmwareBlock FirmwareSmbiosBlock() override;
  std::vector<std::string> LocalIPv4Addresses() override;
};

struct Machine {
  std::filesystem::path root;
  BenchPlatform platform;
  std::unique_ptr<quarn_test::ScopedFakePlatform> use;
  Machine();
  ~Machine();
};

Machine& TheMachine();
// The configuration object of that machine.
CQuarnConfig& Config();

}  // namespace quarn_bench

#endif
