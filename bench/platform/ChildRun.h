// A program run to its end with its output thrown away, measured: what the
// worst-case benchmark needs of the system to time the inspector.
#ifndef QUARN_BENCH_PLATFORM_CHILDRUN_H
#define QUARN_BENCH_PLATFORM_CHILDRUN_H

#include <cstdint>
#include <string>
#include <vector>

namespace quarn_bench {

struct ChildRun {
  bool started = false;
  int exitCode = -1;
  double seconds = 0;           // wall time, start to end
  std::uint64_t peakBytes = 0;  // the most memory it held (Linux: resident; Windows: committed); 0: unknown
};

ChildRun RunChild(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace quarn_bench

#endif
