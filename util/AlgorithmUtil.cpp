#include "util/AlgorithmUtil.h"

#include <zlib.h>

namespace kqt {

unsigned int CAlgorithmUtil::GetCRC(const void* data, unsigned int length) {
  if (!data || length == 0) return 0;
  return static_cast<unsigned int>(::crc32(0L, static_cast<const Bytef*>(data), length));
}

}  // namespace kqt
