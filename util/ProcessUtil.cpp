#include "util/ProcessUtil.h"

#include <algorithm>

#include "util/Platform.h"

namespace kqt {
namespace {

bool SameName(const std::string& a, const std::string& b) {
#if defined(_WIN32)
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
#else
  return a == b;
#endif
}

class ProcessUtil : public IProcessUtil {
 public:
  std::vector<ProcessEntry> GetProcessListByName(const std::string& name) override {
    std::vector<ProcessEntry> matches;
    if (name.empty()) return matches;
    for (const sys::ProcessInfo& process : sys::CurrentPlatform().ListProcesses()) {
      if (SameName(process.exeName, name) || SameName(process.arg0, name))
        matches.push_back(ProcessEntry{process.pid, name});
    }
    return matches;
  }
};

}  // namespace

IProcessUtil::~IProcessUtil() = default;

IProcessUtil* GetProcessUtil() {
  static ProcessUtil instance;
  return &instance;
}

}  // namespace kqt
