#include "util/ProcessUtil.h"

#include "util/StringUtil.h"
#include "util/platform/Platform.h"

namespace kqt {
namespace {

// Windows file names ignore letter case; POSIX ones do not.
bool SameName(const std::string& a, const std::string& b) {
#if defined(_WIN32)
  return a.size() == b.size() && CStringUtil::stringStartWith(a, b, true);
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
