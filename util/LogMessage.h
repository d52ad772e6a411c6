// The process-wide logger. A message is written when its level is at or
// below the threshold (default 4); lower numbers are more severe, and the
// libraries write their errors at level 2. Each message is one line with the
// local time, the level, the source and line where given, and the text, to
// standard error unless the host has set a log file.
#ifndef KQT_UTIL_LOGMESSAGE_H
#define KQT_UTIL_LOGMESSAGE_H

#include <atomic>
#include <cstdio>
#include <string>

#include "util/LockUtil.h"
#include "util/kqtUtilExport.h"

namespace kqt {

typedef int KqtLogLevel;

class KQTUTIL_API CLogMessage {
 public:
  static const KqtLogLevel kDefaultLevel = 4;
  // The level at which the libraries write their errors.
  static const KqtLogLevel kErrorLevel = 2;
  // Levels run from 1 (fatal) to 5 (every message): a threshold of 5 or
  // more writes everything, one of 0 or less nothing.
  static const KqtLogLevel kMostDetailedLevel = 5;

  static CLogMessage* GetInstance();

  void SetLogLevel(KqtLogLevel level) { m_level.store(level, std::memory_order_relaxed); }
  KqtLogLevel GetLogLevel() const { return m_level.load(std::memory_order_relaxed); }

  // Appends messages to `path` from now on; the empty text goes back to
  // standard error. False when the file cannot be opened (the destination is
  // then standard error).
  bool SetLogFile(const std::string& path);
  // Writes messages to `stream` from now on, which stays the caller's: the
  // logger neither closes it nor uses it after the next call. Null goes back
  // to standard error.
  void SetLogStream(std::FILE* stream);

  void WriteLogMessage(const std::string& text, KqtLogLevel level);
  // printf-style message with its source name and line.
  void log(KqtLogLevel level, const char* file, int line, const char* format, ...)
#if defined(__clang__)
      __attribute__((format(printf, 5, 6)))
#elif defined(__GNUC__)
      // The C++ runtime formats with MinGW's own printf (GNU rules: %zu),
      // which plain `printf` would check by Microsoft's.
      __attribute__((format(gnu_printf, 5, 6)))
#endif
      ;

 private:
  CLogMessage() = default;
  ~CLogMessage();
  CLogMessage(const CLogMessage&) = delete;
  CLogMessage& operator=(const CLogMessage&) = delete;

  void Write(KqtLogLevel level, const char* file, int line, const std::string& text);

  std::atomic<int> m_level{kDefaultLevel};
  CMutexUtil m_mutex;           // one line at a time; guards m_file
  std::FILE* m_file = nullptr;  // null: standard error
  bool m_ownsFile = false;      // opened by SetLogFile, closed by the logger
};

}  // namespace kqt

#endif
