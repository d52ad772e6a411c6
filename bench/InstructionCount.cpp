// The getters and their floors counted in instructions: run under
// valgrind --tool=callgrind (scripts/bench.sh --callgrind), each loop's
// counts are dumped under its own name, and the script divides them. Outside
// callgrind the requests do nothing and the program only runs the loops.
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <shared_mutex>
#include <string>

#include "bench/BenchMachine.h"
#include "bench/floor/GetterFloor.h"

namespace {

constexpr int kCalls = 10000;

// Keeps the result alive so that the copy is not optimised away.
volatile std::size_t g_sink;

template <typename Call>
void Count(const char* name, Call call) {
  call();  // first call outside the count: lazy binding, first-use work
  CALLGRIND_ZERO_STATS;
  for (int i = 0; i < kCalls; ++i) g_sink = call().size();
  CALLGRIND_DUMP_STATS_AT(name);
}

struct InlinedFloor {
  std::shared_mutex lock;
  std::string text;
  std::string Get() {
    std::shared_lock<std::shared_mutex> hold(lock);
    return text;
  }
};

}  // namespace

int main() {
  CQuarnConfig& config = quarn_bench::Config();
  config.GetIdentityIp();
  config.GetBiosUuid();
  // Each loop calls its function the same way, straight from main.
  const auto both = [&](const char* name, std::size_t length, auto getter) {
    if (getter().size() != length) {
      std::fprintf(stderr, "%s: the answer is not %zu characters long\n", name, length);
      std::exit(1);
    }
    CGetterFloor exported(std::string(length, 'u'));
    InlinedFloor inlined;
    inlined.text.assign(length, 'u');
    Count((std::string("getter:") + name).c_str(), getter);
    Count((std::string("floor:") + name).c_str(), [&] { return exported.Get(); });
    Count((std::string("inlined:") + name).c_str(), [&] { return inlined.Get(); });
  };
  both("InstallModule", 8, [&] { return config.GetInstallModule(); });
  both("IdentityIp", 11, [&] { return config.GetIdentityIp(); });
  both("BiosUuid", 36, [&] { return config.GetBiosUuid(); });
  std::printf("%d calls per loop\n", kCalls);
  CSingleton<CQuarnConfig>::RemoveInstance();
  return 0;
}
