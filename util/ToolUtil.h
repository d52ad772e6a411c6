// Facts about the running program and the machine.
#ifndef KQT_UTIL_TOOLUTIL_H
#define KQT_UTIL_TOOLUTIL_H

#include <string>

#include "util/kqtUtilExport.h"

namespace kqt {

class KQTUTIL_API CToolUtil {
 public:
  // Directory of the running executable, absolute, "/" between components,
  // no trailing separator (except a bare root such as "/" or "C:/").
  static std::string GetApplicationDirPath();
  // Full path of the running executable, in the same form.
  static std::string GetApplicationFilePath();
  // True on a 64-bit operating system; on Windows also for a 32-bit process
  // running under WOW64.
  static bool IsX64System();
  static void msleep(unsigned long long milliseconds);
};

}  // namespace kqt

#endif
