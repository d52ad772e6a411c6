// Questions about files, by path.
#ifndef KQT_UTIL_FILEUTIL_H
#define KQT_UTIL_FILEUTIL_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "util/kqtUtilExport.h"

namespace kqt {

class KQTUTIL_API CFileUtil {
 public:
  // True for a regular file (or a link to one).
  static bool IsFile(const std::string& path);
  // Size in bytes of a regular file; 0 when it is missing or not a file.
  static std::uint64_t GetFileSize(const std::string& path);
  // The file's first line without its line end ("\n" or "\r\n"). False when
  // nothing can be read: a missing, unreadable or empty file, anything but a
  // regular file (a FIFO or device is never waited for), or a file larger
  // than kMostLineFileBytes.
  static bool ReadLine(const std::string& path, std::string& line);

  // The largest file ReadLine reads: far above any one-line record.
  static const std::size_t kMostLineFileBytes = std::size_t{64} * 1024;
};

}  // namespace kqt

#endif
