// One file, opened for reading to learn its size.
#ifndef KQT_UTIL_FILECOM_H
#define KQT_UTIL_FILECOM_H

#include <cstdint>
#include <string>

#include "util/kqtUtilExport.h"

namespace kqt {

class KQTUTIL_API CFileCom {
 public:
  enum FileComOpenFlag { ReadOnly = 1 };

  explicit CFileCom(const std::string& path);
  ~CFileCom();
  CFileCom(const CFileCom&) = delete;
  CFileCom& operator=(const CFileCom&) = delete;

  // Opens the file; only ReadOnly is supported. False when it cannot be
  // opened or is not a regular file (a directory, FIFO or device).
  bool open(int flag);
  void close();
  bool isOpen() const { return m_size >= 0; }
  // Size in bytes of the open file, as it was when opened; 0 when it is not
  // open.
  std::int64_t size() const;

 private:
  std::string m_path;
  std::int64_t m_size = -1;  // -1: not open
};

}  // namespace kqt

#endif
