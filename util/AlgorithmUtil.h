#ifndef KQT_UTIL_ALGORITHMUTIL_H
#define KQT_UTIL_ALGORITHMUTIL_H

#include "util/kqtUtilExport.h"

namespace kqt {

class KQTUTIL_API CAlgorithmUtil {
 public:
  // CRC-32 (ISO-HDLC, as zlib and zip compute it) of `length` bytes at
  // `data`; 0 for no data. The check value of "123456789" is 0xCBF43926.
  static unsigned int GetCRC(const void* data, unsigned int length);
};

}  // namespace kqt

#endif
