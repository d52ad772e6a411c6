#ifndef KQT_UTIL_THREADUTIL_H
#define KQT_UTIL_THREADUTIL_H

#include "util/kqtUtilExport.h"

namespace kqt {

class KQTUTIL_API CThreadUtil {
 public:
  // A pseudo-random number (any int value, negative ones included); safe to
  // call from any thread.
  static int GetRandom();
};

}  // namespace kqt

#endif
