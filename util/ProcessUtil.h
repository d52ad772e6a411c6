// Running processes, by executable name.
#ifndef KQT_UTIL_PROCESSUTIL_H
#define KQT_UTIL_PROCESSUTIL_H

#include <string>
#include <vector>

#include "util/kqtUtilExport.h"

namespace kqt {

struct ProcessEntry {
  unsigned int pid;  // 32-bit process id
  std::string name;  // executable file name as the system lists it
};

class KQTUTIL_API IProcessUtil {
 public:
  // One entry per running process whose executable file name is `name`, in
  // the order the system lists them; empty when none runs. On Windows the
  // name is compared without regard to letter case; elsewhere exactly, with
  // either the executable's file name or that of the first argument.
  virtual std::vector<ProcessEntry> GetProcessListByName(const std::string& name) = 0;

 protected:
  virtual ~IProcessUtil();
};

// The process utility, owned by this library; never delete it.
KQTUTIL_API IProcessUtil* GetProcessUtil();

}  // namespace kqt

#endif
