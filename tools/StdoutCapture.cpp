#include "StdoutCapture.h"

#if defined(_WIN32)
#include <io.h>
#define dup _dup
#define dup2 _dup2
#define fileno _fileno
#define close _close
#else
#include <unistd.h>
#endif

StdoutCapture::StdoutCapture() {
  std::fflush(stdout);
  m_file = std::tmpfile();
  if (!m_file) return;
  m_saved = dup(fileno(stdout));
  if (m_saved < 0 || dup2(fileno(m_file), fileno(stdout)) < 0) {
    std::fclose(m_file);
    m_file = nullptr;
  }
}

StdoutCapture::~StdoutCapture() { Finish(); }

std::string StdoutCapture::Finish() {
  std::string text;
  if (!m_file) return text;
  std::fflush(stdout);
  dup2(m_saved, fileno(stdout));
  close(m_saved);
  std::rewind(m_file);
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, m_file)) > 0;) text.append(chunk, n);
  std::fclose(m_file);
  m_file = nullptr;
  return text;
}
