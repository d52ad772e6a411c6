#include "bundle/StdoutCapture.h"

#include "bundle/CaptureFiles.h"
#include "util/LogMessage.h"

namespace quarn_tools {
namespace {

// Reads `file` back from its start, at most `most` bytes, and closes it.
std::string ReadBackAndClose(std::FILE* file, std::size_t most) {
  std::string text;
  std::fflush(file);
  std::rewind(file);
  char chunk[4096];
  for (size_t n; text.size() < most && (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, n);
  std::fclose(file);
  return text;
}

}  // namespace

StdoutCapture::StdoutCapture() {
  using namespace quarn_tools;
  std::fflush(stdout);
  m_saved = DuplicateDescriptor(DescriptorOf(stdout));
  if (m_saved < 0) return;
  m_file = CreateTemporaryFile();
  if (m_file && RedirectDescriptor(DescriptorOf(m_file), DescriptorOf(stdout))) return;
  if (m_file) {
    std::fclose(m_file);
    m_file = nullptr;
  }
  m_toStandardError = RedirectDescriptor(DescriptorOf(stderr), DescriptorOf(stdout));
}

StdoutCapture::~StdoutCapture() { Finish(); }

std::string StdoutCapture::Finish() {
  using namespace quarn_tools;
  if (m_saved < 0) return std::string();
  std::fflush(stdout);
  RedirectDescriptor(m_saved, DescriptorOf(stdout));
  CloseDescriptor(m_saved);
  m_saved = -1;
  if (!m_file) return std::string();
  std::FILE* file = m_file;
  m_file = nullptr;
  return ReadBackAndClose(file, kMostBytes);
}

LogCapture::LogCapture() {
  m_file = quarn_tools::CreateTemporaryFile();
  if (m_file) kqt::CLogMessage::GetInstance()->SetLogStream(m_file);
}

LogCapture::~LogCapture() { Finish(); }

std::string LogCapture::Finish() {
  if (!m_file) return std::string();
  kqt::CLogMessage::GetInstance()->SetLogStream(nullptr);  // back to standard error
  std::FILE* file = m_file;
  m_file = nullptr;
  return ReadBackAndClose(file, kMostBytes);
}

}  // namespace quarn_tools
