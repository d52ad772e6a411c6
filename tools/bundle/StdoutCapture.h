// Collects what is written to standard output (by this program and by the
// libraries it calls, through the C runtime's stdout) while the object
// lives, so that the library's own diagnostics do not mix with the report.
// Where no capture file can be made, the diagnostics go to standard error
// instead: never into the report.
#ifndef QUARN_TOOLS_BUNDLE_STDOUTCAPTURE_H
#define QUARN_TOOLS_BUNDLE_STDOUTCAPTURE_H

#include <cstdio>
#include <string>

namespace quarn_tools {

class StdoutCapture {
 public:
  StdoutCapture();
  ~StdoutCapture();
  StdoutCapture(const StdoutCapture&) = delete;
  StdoutCapture& operator=(const StdoutCapture&) = delete;

  // Ends the capture and returns what was written.
  std::string Finish();
  // True when nothing could be captured and the output went to standard
  // error instead.
  bool WentToStandardError() const { return m_toStandardError; }

 private:
  // The library prints a few lines; far more is cut, not kept.
  static constexpr std::size_t kMostBytes = std::size_t{1} << 20;
  std::FILE* m_file = nullptr;  // where standard output goes meanwhile
  int m_saved = -1;             // the original standard output
  bool m_toStandardError = false;
};

// Collects the utility logger's lines ("load config error: ...") while the
// object lives, in a file of the user's temporary directory. Where no such
// file can be made, they stay on standard error.
class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // Ends the capture (the logger writes to standard error again) and
  // returns what was logged.
  std::string Finish();
  bool Captures() const { return m_file != nullptr; }

 private:
  static constexpr std::size_t kMostBytes = std::size_t{1} << 20;
  std::FILE* m_file = nullptr;  // the logger writes here meanwhile
};

}  // namespace quarn_tools

#endif
