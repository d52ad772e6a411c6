// Collects what is written to standard output (by this program and by the
// libraries it calls, through the C runtime's stdout) while the object
// lives, so that the library's own diagnostics do not mix with the report.
// Where no capture file can be made, the diagnostics go to standard error
// instead: never into the report.
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
  // True when nothing could be captured and the output went to standard
  // error instead.
  bool WentToStandardError() const { return m_toStandardError; }

 private:
  bool OpenCaptureFile();

  std::FILE* m_file = nullptr;  // where standard output goes meanwhile
  std::string m_path;           // the capture file's name, when it has one
  int m_saved = -1;             // the original standard output
  bool m_toStandardError = false;
};

#endif
