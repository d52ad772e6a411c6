// Collects what is written to standard output (by this program and by the
// libraries it calls, through the C runtime's stdout) while the object
// lives, so that the library's own diagnostics do not mix with the report.
#ifndef QUARN_TOOLS_STDOUTCAPTURE_H
#define QUARN_TOOLS_STDOUTCAPTURE_H

#include <cstdio>
#include <string>

class StdoutCapture {
 public:
  StdoutCapture();
  ~StdoutCapture();
  StdoutCapture(const StdoutCapture&) = delete;
  StdoutCapture& operator=(const StdoutCapture&) = delete;

  // Ends the capture and returns what was written.
  std::string Finish();

 private:
  std::FILE* m_file = nullptr;  // where standard output goes meanwhile
  int m_saved = -1;             // the original standard output
};

#endif
