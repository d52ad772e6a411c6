#include "util/LogMessage.h"

#include <chrono>
#include <cstdarg>
#include <ctime>
#include <vector>

#include "util/platform/Platform.h"

namespace kqt {
namespace {

std::string TimeStamp() {
  using namespace std::chrono;
  const system_clock::time_point now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  const long long millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  sys::LocalTime(seconds, local);
  char text[40];
  const size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  std::snprintf(text + n, sizeof text - n, ".%03lld", millis);
  return text;
}

}  // namespace

CLogMessage* CLogMessage::GetInstance() {
  static CLogMessage instance;
  return &instance;
}

CLogMessage::~CLogMessage() {
  if (m_file && m_ownsFile) std::fclose(m_file);
}

bool CLogMessage::SetLogFile(const std::string& path) {
  std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "ab");
  CMutexLockUtil hold(m_mutex);
  if (m_file && m_ownsFile) std::fclose(m_file);
  m_file = file;
  m_ownsFile = file != nullptr;
  return path.empty() || file != nullptr;
}

void CLogMessage::SetLogStream(std::FILE* stream) {
  CMutexLockUtil hold(m_mutex);
  if (m_file && m_ownsFile) std::fclose(m_file);
  m_file = stream;
  m_ownsFile = false;
}

void CLogMessage::WriteLogMessage(const std::string& text, KqtLogLevel level) {
  if (level > GetLogLevel()) return;
  Write(level, nullptr, 0, text);
}

void CLogMessage::log(KqtLogLevel level, const char* file, int line, const char* format, ...) {
  if (level > GetLogLevel() || !format) return;
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  const int needed = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  std::string text;
  if (needed > 0) {
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    text.assign(buffer.data(), static_cast<size_t>(needed));
  }
  va_end(args);
  Write(level, file, line, text);
}

void CLogMessage::Write(KqtLogLevel level, const char* file, int line, const std::string& text) {
  std::string entry = TimeStamp() + " [" + std::to_string(level) + "] ";
  if (file) entry += std::string(file) + ":" + std::to_string(line) + " ";
  entry += text;
  entry += '\n';
  CMutexLockUtil hold(m_mutex);
  std::FILE* out = m_file ? m_file : stderr;
  std::fwrite(entry.data(), 1, entry.size(), out);
  std::fflush(out);
}

}  // namespace kqt
