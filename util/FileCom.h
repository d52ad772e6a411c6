// One file, opened for reading to learn its size.
#ifndef KQT_UTIL_FILECOM_H
#define KQT_UTIL_FILECOM_H

#include <cstdint>
#include <cstdio>
#include <string>

#include "util/kqtUtilExport.h"

namespace kqt {

class KQTUTIL_API CFileCom {
 public:
  enum FileComOpenFlag { ReadOnly = 1 };

  explicit CFileCom(const std::string& path) : m_path(path) {}
  ~CFileCom() { close(); }
  CFileCom(const CFileCom&) = delete;
  CFileCom& operator=(const CFileCom&) = delete;

  // Opens the file; only ReadOnly is supported. False when it cannot be opened.
  bool open(int flag);
  void close();
  bool isOpen() const { return m_file != nullptr; }
  // Size in bytes of the open file; 0 when it is not open.
  std::int64_t size() const;

 private:
  std::string m_path;
  std::FILE* m_file = nullptr;
};

}  // namespace kqt

#endif
