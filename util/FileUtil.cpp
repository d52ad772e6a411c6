#include "util/FileUtil.h"

#include "util/platform/Files.h"

namespace kqt {

bool CFileUtil::IsFile(const std::string& path) { return sys::KindOf(path) == sys::FileKind::kRegular; }

std::uint64_t CFileUtil::GetFileSize(const std::string& path) {
  std::uint64_t size = 0;
  return sys::RegularFileSize(path, size) ? size : 0;
}

bool CFileUtil::ReadLine(const std::string& path, std::string& line) {
  std::string content;
  if (sys::ReadRegularFile(path, kMostLineFileBytes, content) != sys::ReadStatus::kOk || content.empty()) return false;
  std::string::size_type end = content.find('\n');
  if (end == std::string::npos) end = content.size();
  if (end > 0 && content[end - 1] == '\r') --end;
  line.assign(content, 0, end);
  return true;
}

}  // namespace kqt
