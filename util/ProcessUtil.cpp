#include "util/ProcessUtil.h"

#include "util/platform/Files.h"
#include "util/platform/Platform.h"

namespace kqt {
namespace {

class ProcessUtil : public IProcessUtil {
 public:
  std::vector<ProcessEntry> GetProcessListByName(const std::string& name) override {
    std::vector<ProcessEntry> matches;
    if (name.empty()) return matches;
    for (const sys::ProcessInfo& process : sys::CurrentPlatform().ListProcesses()) {
      if (sys::SameFileName(process.exeName, name) || sys::SameFileName(process.arg0, name))
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
