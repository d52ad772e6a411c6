#include "StdoutCapture.h"

#include <chrono>
#include <filesystem>
#include <random>
#include <system_error>

#include "util/LogMessage.h"

#if defined(_WIN32)
#include <io.h>
#define dup _dup
#define dup2 _dup2
#define fileno _fileno
#define close _close
#else
#include <unistd.h>
#endif

std::FILE* OpenInTemporaryDirectory(std::string& path) {
  std::error_code error;
  const std::filesystem::path directory = std::filesystem::temp_directory_path(error);
  if (error) return nullptr;
  std::mt19937_64 random(std::random_device{}() ^
                         static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int attempt = 0; attempt < 8; ++attempt) {
    const std::filesystem::path candidate = directory / ("quarncfg-" + std::to_string(random()) + ".out");
    if (std::filesystem::exists(candidate, error)) continue;
    if (std::FILE* file = std::fopen(candidate.string().c_str(), "w+b")) {
      path = candidate.string();
      return file;
    }
  }
  return nullptr;
}

bool StdoutCapture::OpenCaptureFile() {
#if defined(_WIN32)
  // The C runtime's tmpfile() makes its file in the root of the drive,
  // which a normal user may not write: the user's own directory first.
  m_file = OpenInTemporaryDirectory(m_path);
  if (!m_file) m_file = std::tmpfile();
#else
  m_file = std::tmpfile();
  if (!m_file) m_file = OpenInTemporaryDirectory(m_path);
#endif
  return m_file != nullptr;
}

StdoutCapture::StdoutCapture() {
  std::fflush(stdout);
  m_saved = dup(fileno(stdout));
  if (m_saved < 0) return;
  if (OpenCaptureFile() && dup2(fileno(m_file), fileno(stdout)) >= 0) return;
  if (m_file) {
    std::fclose(m_file);
    m_file = nullptr;
    if (!m_path.empty()) std::remove(m_path.c_str());
    m_path.clear();
  }
  m_toStandardError = dup2(fileno(stderr), fileno(stdout)) >= 0;
}

StdoutCapture::~StdoutCapture() { Finish(); }

std::string StdoutCapture::Finish() {
  std::string text;
  if (m_saved < 0) return text;
  std::fflush(stdout);
  dup2(m_saved, fileno(stdout));
  close(m_saved);
  m_saved = -1;
  if (!m_file) return text;
  std::rewind(m_file);
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, m_file)) > 0;) text.append(chunk, n);
  std::fclose(m_file);
  m_file = nullptr;
  if (!m_path.empty()) std::remove(m_path.c_str());
  return text;
}

LogCapture::LogCapture() {
  std::FILE* file = OpenInTemporaryDirectory(m_path);
  if (!file) return;
  std::fclose(file);
  if (!kqt::CLogMessage::GetInstance()->SetLogFile(m_path)) {
    std::remove(m_path.c_str());
    m_path.clear();
  }
}

LogCapture::~LogCapture() { Finish(); }

std::string LogCapture::Finish() {
  std::string text;
  if (m_path.empty()) return text;
  kqt::CLogMessage::GetInstance()->SetLogFile("");  // back to standard error
  if (std::FILE* file = std::fopen(m_path.c_str(), "rb")) {
    char chunk[4096];
    // A run of the library logs a few lines; far more is cut, not kept.
    for (size_t n; text.size() < kMostBytes && (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
      text.append(chunk, n);
    std::fclose(file);
  }
  std::remove(m_path.c_str());
  m_path.clear();
  return text;
}
